#pragma once
// "Getting Started": the borderless welcome page shown after start-up and
// from the Help menu. Its links open help topics through a callback.

#include "addressbook/ui/dialog_support.h"

#include <QDialog>

class QCheckBox;
class QTextBrowser;
class QUrl;

namespace qp::addressbook {

class TGettingStartedWindow : public QDialog {
    Q_OBJECT
public:
    // `help` is called with the context number of a clicked link. The check
    // box starts from Misc/GettingStarted, which is written back on closing.
    explicit TGettingStartedWindow(HelpHandler help, QWidget* parent = nullptr);

    // The page as rich text.
    static QString pageHtml();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void linkClicked(const QUrl& url);

    HelpHandler help_;
    QTextBrowser* page_ = nullptr;
    QCheckBox* dontShow_ = nullptr;
};

} // namespace qp::addressbook
