#include "app/QueuedRunObserver.h"

#include <chrono>
#include <future>
#include <memory>

namespace kiv {

void QueuedRunObserver::AddLine(const ReportText& line) {
    post_([&shown = shown_, line] { shown.AddLine(line); });
}

void QueuedRunObserver::ShowMessage(const ReportText& text) {
    post_([&shown = shown_, text] { shown.ShowMessage(text); });
}

bool QueuedRunObserver::ConfirmStop(const std::string& question, const std::string& caption) {
    // Shared with the posted call: it may still hold the promise after this run gave up.
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> answered = answer->get_future();
    post_([&shown = shown_, answer, question, caption] {
        answer->set_value(shown.ConfirmStop(question, caption));
    });
    while (answered.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (cancel_.load()) return true;
    return answered.get();
}

void QueuedRunObserver::ShowPasswordBox() {
    post_([&shown = shown_] { shown.ShowPasswordBox(); });
}

void QueuedRunObserver::SetOverallVisible(bool visible) {
    post_([&shown = shown_, visible] { shown.SetOverallVisible(visible); });
}

void QueuedRunObserver::SetOverallRange(int low, int high) {
    post_([&shown = shown_, low, high] { shown.SetOverallRange(low, high); });
}

void QueuedRunObserver::SetOverallPosition(int position) {
    post_([&shown = shown_, position] { shown.SetOverallPosition(position); });
}

void QueuedRunObserver::SetFileVisible(bool visible) {
    post_([&shown = shown_, visible] { shown.SetFileVisible(visible); });
}

void QueuedRunObserver::SetFileRange(int low, int high) {
    post_([&shown = shown_, low, high] { shown.SetFileRange(low, high); });
}

void QueuedRunObserver::SetFilePosition(int position) {
    post_([&shown = shown_, position] { shown.SetFilePosition(position); });
}

}  // namespace kiv
