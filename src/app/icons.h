#pragma once
// The program's pictures, SVG files in the resources that stay sharp at every size: the toolbar's
// buttons, the tree's nodes and the program's own icon.

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QWidget;

namespace kirune {

// Toolbar pictures by image key: "New", "Open", "Save", "Print", "Edit".
QIcon ToolbarIcon(const QString& imageKey);
// Tree pictures by image key: "root", the six subject keys ("LANGUAGE" ... "PHYSICAL"), the
// three semester keys ("SPRING", "AUTUMN", "WINTER"), "lighton", "lightoff" and "test".
QIcon TreeIcon(const QString& imageKey);
// The program's icon (window frames, task bar).
QIcon ProgramIcon();
// Gives the program's windows their icon once `window` has been painted (or a moment after it
// was shown, should it not be painted): a window's first picture does not wait for the icon's
// sizes to be read and handed to the window system.
void SetProgramIconOncePainted(QWidget* window);

// The platform's style, with the pictures it makes for every menu bar and toolbar drawn only
// when they are first shown, and, under the Fusion style on an unscaled screen, the group boxes'
// frames and the toolbar drawn here, looking the same, in pieces Qt blends without its helper
// threads. Call once, after the application object is made.
void InstallProgramStyle();
// The picture the Fusion style frames a group box with where it draws the frame itself (on a
// scaled screen), read here as the PNG it is and kept where the style looks for it, the pixmap
// cache: read by the style, it would first load every image plugin installed to ask each whether
// it reads PNG. Null where the style has no such picture.
QPixmap KeepGroupBoxFrame();

// The pictures drawn so far are drawn or read from the cache folder again (for tests).
void ForgetPicturesInMemory();

// Every image key that has a picture (used to check that none is missing).
QStringList ToolbarImageKeys();
QStringList TreeImageKeys();

} // namespace kirune
