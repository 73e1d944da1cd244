#pragma once

class QWidget;

// From now on SIGTERM, SIGINT and SIGHUP are held for CloseOnQuitSignals
// instead of ending the program; call it first thing at start-up.
void CatchQuitSignals();

// Makes SIGTERM, SIGINT and SIGHUP (kill, Ctrl+C, a closed terminal, the
// end of the desktop session) close the window the way its close box does,
// so the program ends through its normal exit sequence. The signal is
// handled on the window's own thread, between events.
void CloseOnQuitSignals(QWidget* window);
