#pragma once

#include <QString>

class QWidget;

namespace kiv {

class Form1Controls;

// Gives every control of the window a name that assistive technology can read (its caption
// where it has one) and, where it helps, a description; the clickable labels get their press
// action and the push buttons answer Enter. Called once the controls exist.
void DescribeControls(QWidget& window, const Form1Controls& controls);

// Makes the main window a frame for assistive technology, as other programs' main windows
// are; a plain widget would be a filler. Call before the window's first interface is asked for.
void InstallMainWindowRole();

// Tells assistive technology that something happened that the user did not look at, such as
// the end of a file run: the source's description becomes the text and an alert is raised.
void Announce(QWidget& source, const QString& text);

}  // namespace kiv
