#include "widgets/actionboundary.h"

#include "course/fileerror.h"
#include "widgets/messagebox.h"

#include <exception>

namespace nk {

void ActionBoundary::run(const std::function<void()> &action) noexcept
{
    QString failure;
    try {
        if (action)
            action();
        return;
    } catch (const FileError &error) {
        failure = error.text();
    } catch (const std::exception &error) {
        failure = QString::fromLocal8Bit(error.what());
    } catch (...) {
        failure = QStringLiteral("Неизвестная ошибка");
    }
    // Shown once the exception is gone: the message runs its own event loop.
    try {
        MessageBox::show(nullptr, failure);
    } catch (...) {
        // a message that cannot be shown still must not escape
    }
}

} // namespace nk
