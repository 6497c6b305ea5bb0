#include "cli/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>

#include "bemt/Error.h"

namespace korvane::cli {

namespace {

// Set by the signal handler, read by the progress reports.
std::atomic<bool> interruptRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int) {
    interruptRequested.store(true);
    std::signal(SIGINT, SIG_DFL);  // the next Ctrl-C ends the program
}

using Handler = void (*)(int);
Handler previousHandler = SIG_DFL;

constexpr int kBarWidth = 30;
constexpr std::size_t kTextWidth = 56;

}  // namespace

InterruptGuard::InterruptGuard() {
    interruptRequested.store(false);
    previousHandler = std::signal(SIGINT, onInterrupt);
}

InterruptGuard::~InterruptGuard() { std::signal(SIGINT, previousHandler == SIG_ERR ? SIG_DFL : previousHandler); }

bool InterruptGuard::interrupted() { return interruptRequested.load(); }

ProgressBar::ProgressBar(bool enabled) : m_enabled(enabled) {}

ProgressBar::~ProgressBar() { clear(); }

bool ProgressBar::stderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void ProgressBar::report(int percent, const std::string& text) {
    if (InterruptGuard::interrupted()) throw bemt::Aborted(kAbortMessage);
    if (!m_enabled) return;
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent && text == m_text) return;
    m_percent = percent;
    m_text = text;
    const int filled = percent * kBarWidth / 100;
    const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '-');
    // Cut long texts at a character boundary and pad by characters, not bytes.
    std::size_t cut = std::min(text.size(), kTextWidth);
    while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    std::string shown = text.substr(0, cut);
    const auto characters = static_cast<std::size_t>(
        std::count_if(shown.begin(), shown.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    shown.append(kTextWidth > characters ? kTextWidth - characters : 0, ' ');
    std::fprintf(stderr, "\r[%s] %3d %% %s", bar.c_str(), percent, shown.c_str());
    std::fflush(stderr);
    m_drawn = true;
}

void ProgressBar::clear() {
    if (!m_drawn) return;
    std::fprintf(stderr, "\r%*s\r", kBarWidth + 8 + static_cast<int>(kTextWidth), "");
    std::fflush(stderr);
    m_drawn = false;
    m_percent = -1;
    m_text.clear();
}

}  // namespace korvane::cli
