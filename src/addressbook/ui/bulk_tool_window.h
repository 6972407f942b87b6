#pragma once
// The frame of the bulk record tools: their choices above, a progress bar
// and a status line, the run button, "Cancel" and "Help" below. While the
// run works, Help and the pointer-help button are hidden.

#include <QDialog>

#include <string_view>

class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace qp::addressbook {

class TBulkToolWindow : public QDialog {
    Q_OBJECT
public:
    // While a run works: asks whether to stop it instead of closing.
    void reject() override;
    QPushButton* runButton() const { return run_; }
    QPushButton* cancelButton() const { return cancel_; }
    QLabel* statusLine() const { return status_; }
    QProgressBar* progressBar() const { return bar_; }
    bool running() const { return running_; }

protected:
    TBulkToolWindow(const QString& title, const QString& runCaption, int helpTopic,
                    QWidget* parent);
    // Where the choices go.
    QVBoxLayout* body() const { return body_; }
    void setStatus(const QString& text);
    void setProgress(int percent);
    // Hides Help and the pointer-help button, shows the bar.
    void beginRun();
    void endRun();
    void showEvent(QShowEvent* event) override;
    // Cancel while running; the default ignores it.
    virtual void cancelWhileRunning() {}

private:
    QVBoxLayout* body_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    QToolButton* mouseHelp_ = nullptr;
    bool running_ = false;
};

} // namespace qp::addressbook
