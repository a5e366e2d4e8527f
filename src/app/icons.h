#pragma once
// The program's pictures, SVG files in the resources that stay sharp at every size: the toolbar's
// buttons, the tree's nodes and the program's own icon. And the program's style: the desktop's,
// with the group boxes' captions clear of their frames' corners.

#include <QIcon>
#include <QString>
#include <QStringList>

namespace kirune {

// Toolbar pictures by image key: "New", "Open", "Save", "Print", "Edit"; the desktop theme's
// own picture where it has one.
QIcon ToolbarIcon(const QString& imageKey);
// Tree pictures by image key: "root", the six subject keys ("LANGUAGE" ... "PHYSICAL"), the
// three semester keys ("SPRING", "AUTUMN", "WINTER"), "lighton", "lightoff", "test" and
// "pupils".
QIcon TreeIcon(const QString& imageKey);
// The program's icon (window frames, task bar).
QIcon ProgramIcon();

// The style chosen so far (the desktop's, or one named with -style), with a group box's caption
// moved inside its frame. Call once, after the application object is made.
void InstallProgramStyle();

// Every image key that has a picture (used to check that none is missing).
QStringList ToolbarImageKeys();
QStringList TreeImageKeys();

} // namespace kirune
