#pragma once

#include <QIcon>

namespace kiv {

// The program's icon, the one its menu entry shows, drawn from the same picture in the sizes
// window managers, task bars and window switchers ask for.
QIcon ProgramIcon();

}  // namespace kiv
