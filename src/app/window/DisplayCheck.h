#pragma once

namespace kiv {

// Guards the start of the window's platform. While it lasts, Qt's platform messages are held
// back, and a platform that cannot start (no display to reach) ends the process with one line
// on standard error and exit status 1, where Qt would print several lines and abort. One at a
// time: it takes over Qt's message handler.
class DisplayCheck {
  public:
    DisplayCheck();
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // The platform is up: Qt's messages go where they went before.
    void Passed();

    // The line written when no display can be reached.
    static const char* NoDisplayLine();
};

}  // namespace kiv
