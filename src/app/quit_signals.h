#pragma once

class QWidget;

// Makes SIGTERM, SIGINT and SIGHUP (kill, Ctrl+C, a closed terminal, the
// end of the desktop session) close the window the way its close box does,
// so the program ends through its normal exit sequence. The signal is
// handled on the window's own thread, between events.
void CloseOnQuitSignals(QWidget* window);
