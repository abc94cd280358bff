#pragma once

#include <QRect>
#include <span>

namespace kiv {

// The design positions of the main window's controls, in the window's own pixels. This is the
// one home of these numbers: the window is built from them and its layout test reads them.
class Form1Layout {
  public:
    struct Place {
        const char* name;
        // A width of 0 lets the control (a label) size itself to its text.
        QRect geometry;
    };

    static std::span<const Place> Places();
    // The place of the control of that name; a name the layout does not know is a programming
    // error and throws std::logic_error.
    static QRect Of(const char* name);
};

}  // namespace kiv
