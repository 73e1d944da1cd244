#pragma once

#include <QMainWindow>

class QAction;
class QCloseEvent;
class QPlainTextEdit;

// The lyrics window: one unwrapped fixed-pitch text box in a sizable window,
// with "schließen" and "speichern" acting directly from its menu bar. It
// tells what the user asked for through signals; the main window decides.
class frmLyrics : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window hidden, docked at the right edge of dockTo.
    explicit frmLyrics(QWidget* dockTo);

    QPlainTextEdit* txtLyrics;
    QAction* mnuClose;
    QAction* mnuSave;

    // Load step: the window's left edge goes to the main window's right edge.
    void Form_Load();
    // Sizes the text box to the window.
    void Form_Resize();
signals:
    // "schließen" was chosen.
    void CloseClicked();
    // "speichern" was chosen.
    void SaveClicked();
    // The close box was clicked; a receiver that ignores the event keeps the
    // window, otherwise it goes with its text.
    void CloseBoxClicked(QCloseEvent* event);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* dockTo_;
};
