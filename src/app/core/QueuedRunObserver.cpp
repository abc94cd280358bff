#include "app/core/QueuedRunObserver.h"

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

template <typename Answer>
Answer QueuedRunObserver::Ask(std::function<Answer()> ask, Answer onCancel) {
    // Shared with the posted call: it may still hold the promise after this run gave up.
    auto answer = std::make_shared<std::promise<Answer>>();
    std::future<Answer> answered = answer->get_future();
    post_([answer, ask = std::move(ask)] { answer->set_value(ask()); });
    while (answered.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (cancel_.load()) return onCancel;
    return answered.get();
}

bool QueuedRunObserver::ConfirmStop(const std::string& question, const std::string& caption) {
    return Ask<bool>(
        [&shown = shown_, question, caption] { return shown.ConfirmStop(question, caption); },
        true);
}

ExistingFileChoice QueuedRunObserver::ChooseForExisting(const std::string& folder,
                                                        const std::vector<std::string>& names) {
    return Ask<ExistingFileChoice>(
        [&shown = shown_, folder, names] { return shown.ChooseForExisting(folder, names); },
        ExistingFileChoice::Skip);
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
