#pragma once

#include <QMainWindow>

class QAction;
class QPlainTextEdit;
class frmTembrel;

// The lyrics window: one unwrapped fixed-pitch text box in a sizable window,
// with "schließen" and "speichern" acting directly from its menu bar. Its
// behaviour lives with the lyrics subsystem.
class frmLyrics : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window hidden, docked at the main window's right edge.
    explicit frmLyrics(frmTembrel* mainWindow);

    QPlainTextEdit* txtLyrics;
    QAction* mnuClose;
    QAction* mnuSave;

    // Load step: the window's left edge goes to the main window's right edge.
    void Form_Load();
    // Sizes the text box to the window.
    void Form_Resize();
    // "schließen": hides the window, then saves the text when it changed.
    void mnuClose_Click();
    // "speichern": saves the text to the lyrics file.
    void mnuSave_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmTembrel* main_;
};
