#pragma once

#include <QMainWindow>

class QAction;
class QPlainTextEdit;
class frmTembrel;

// The lyrics window: one unwrapped fixed-pitch text box filling a sizable
// window, with "schließen" and "speichern" acting directly from its menu bar.
// Its behaviour lives with the lyrics subsystem.
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
    // "schließen": hides the window; the text stays.
    void mnuClose_Click();

private:
    frmTembrel* main_;
};
