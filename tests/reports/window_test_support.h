#pragma once
// Waiting on the reports windows' modal dialogs and print jobs in Qt Tests.

#include "print/ui/print_status_form.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace qp::testing {

// Waits for a window of type W to be the active modal one, then runs `act`.
template <class W> void whenModal(std::function<void(W&)> act, int tries = 400) {
    QTimer::singleShot(25, [act, tries] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()))
            act(*w);
        else if (tries > 0)
            whenModal<W>(act, tries - 1);
    });
}

// Waits (without blocking the job) for the status window's job to end, then
// runs `act` on it.
inline void whenFinished(print::TPrintStatusForm& s,
                         std::function<void(print::TPrintStatusForm&)> act) {
    if (s.Finished()) {
        act(s);
        return;
    }
    QPointer<print::TPrintStatusForm> form(&s);
    QTimer::singleShot(25, [form, act] {
        if (form)
            whenFinished(*form, act);
    });
}

} // namespace qp::testing
