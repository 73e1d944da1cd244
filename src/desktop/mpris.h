#pragma once

class QDBusConnection;
class QObject;
class frmTembrel;

// Offers the main window as a media player on a bus, so that the desktop's
// media controls and media keys drive it: org.mpris.MediaPlayer2.tembrel
// (with ".instance<pid>" appended when another copy holds that name) at
// /org/mpris/MediaPlayer2. Every call acts through the window's handlers;
// changes of the window are announced as they happen. Returns the object on
// the bus, owned by the window; null (and nothing offered) when the bus is
// not connected or refuses.
QObject* StartMpris(frmTembrel& window, const QDBusConnection& bus);
