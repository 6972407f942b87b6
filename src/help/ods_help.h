#pragma once
// Context help of one window: the pointer-help button and mode, the
// "What's this?" menu on its controls and the short-text pop-up.
#include "help/help_table.h"
#include "help/popup_geometry.h"

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace qp::help {

inline constexpr int kPopupColor = 15269887; // 0x00BBGGRR: red 255, green 255, blue 232
QColor PopupColor();

// The settings a pop-up takes from the component whose command opened it.
struct TPopupSettings {
    QColor color;
    QString moreText;
    QFont font;
    int maxWidth = 300;
    std::function<void()> done;
};

class TODSHelp : public QObject {
    Q_OBJECT
public:
    explicit TODSHelp(QWidget* window);
    ~TODSHelp() override;

    TODSHelpText HelpText;
    QColor Color = PopupColor();
    QFont Font;
    bool ParentFont = true;
    quint16 MaxWidth = 300;
    QString MoreText = QStringLiteral("Click here or press F1 for more...");
    std::function<void()> OnHelpDone;

    QWidget* window() const { return window_; }
    // The last component of a window serves the texts.
    static TODSHelp* of(const QWidget* window);

    void BeginMouseHelp();
    void WhatsThis(QWidget* control);
    // Looks up one control in its window's table and shows its pop-up.
    static bool PopupHelpFor(QWidget* control, const QRect& screenRect,
                             const TPopupSettings& settings);
    bool PopupHelpFor(QWidget* control, const QRect& screenRect);

    bool inMouseHelp() const { return mask_ != nullptr; }
    TPopupSettings settings() const;
    // The "What's this?" menu for a control of this window.
    QMenu* whatsThisMenu(QWidget* control);

    // True while a tool hides the pointer-help button as it works.
    bool buttonHidden() const;
    QToolButton* mouseHelpButton() const { return button_; }
    void setMouseHelpButton(QToolButton* button);

private:
    friend class TODSHelpMask;
    void endMouseHelp(bool showAt, QPoint globalPos);

    QWidget* window_;
    QPointer<QToolButton> button_;
    QPointer<QWidget> mask_;
    QPointer<QMenu> menu_;
};

// Zero-size control that holds the mouse and keyboard during pointer help.
class TODSHelpMask : public QWidget {
    Q_OBJECT
public:
    TODSHelpMask(TODSHelp& help, QWidget* window);
    QPointer<QWidget> previousActive;
    bool ending = false;

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TODSHelp& help_;
};

// The one pop-up window of the program.
class TODSHelpPopup : public QWidget {
    Q_OBJECT
public:
    static TODSHelpPopup& instance();
    static bool exists();

    void showEntry(const TODSHelpEntry& entry, const QRect& controlRect,
                   const TPopupSettings& settings);
    void hidePopup();

    const QString& text() const { return text_; }
    bool hasMore() const { return hasMore_; }
    const PopupLayout& layout() const { return layout_; }
    int entryContext() const { return context_; }
    QStringList lines() const { return lines_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    TODSHelpPopup();
    QString text_;
    QStringList lines_;
    int context_ = 0;
    QRect controlRect_;
    TPopupSettings settings_;
    bool hasMore_ = false;
    bool deactivated_ = false;
    bool shown_ = false;
    PopupLayout layout_;
    QPixmap beneath_;
};

// The name a control is looked up by: its objectName, or for a control
// without one, its caption without the '&'.
QString ControlKey(const QWidget* control);

// Wrapping and sizes for a text in a font, as the pop-up uses them.
PopupLayout MeasurePopup(const QString& text, const QFont& font, int maxWidth, bool hasMore,
                         const QString& moreText, QStringList* lines = nullptr);
QFont MoreFont(QFont font);

} // namespace qp::help
