#pragma once
// The dialogs of the design objects. Each Run... function opens the dialog
// modally over `parent`, applies Ok to the object and returns false on Cancel
// (the object unchanged).
#include "design/design_types.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QCheckBox;
class QLabel;
class QFileSystemModel;
class QTreeView;
class QListView;

namespace qp::design {
class TGBasePanel;
class TGPLabel;
class TGBaseLabel;
class TGPDLabel;
class TGCounterLabel;
class TGSymbolLabel;
class TGMultiLineBaseLabel;
class TGMultiLineLabel;
class TGDMultiLineLabel;
class TGImage;
class TDataSource;
} // namespace qp::design

namespace qp::design::ui {

// Opens a help topic by number; the help subsystem installs it.
std::function<void(int)>& HelpHandler();
// The "Ok", "Cancel" and "Help" buttons of the design dialogs; Help opens
// `helpTopic`.
QDialogButtonBox* DesignDialogButtons(QDialog* dialog, int helpTopic);

bool RunTextDialog(TGPLabel& label, QWidget* parent = nullptr);
// The character fields (or with memoOnly the memo fields) by display label.
bool RunSelectFieldDialog(TGPDLabel& label, TGBasePanel& panel, QWidget* parent = nullptr);
bool RunMemoFieldDialog(TGDMultiLineLabel& label, TGBasePanel& panel, QWidget* parent = nullptr);
bool RunCounterDialog(TGCounterLabel& counter, QWidget* parent = nullptr);
bool RunSymbolSelector(TGSymbolLabel& symbol, QWidget* parent = nullptr);
bool RunMultiLineEditor(TGMultiLineLabel& label, QWidget* parent = nullptr);
bool RunText3DEffects(TGBaseLabel& label, QWidget* parent = nullptr);
bool RunImageBrowser(TGImage& image, QWidget* parent = nullptr);
// Font and colour choices through the platform dialogs.
bool ChooseDesignFont(TDesignFont& font, QWidget* parent = nullptr);
bool ChooseDesignColor(TColor& color, QWidget* parent = nullptr);

// Dialog classes, exposed for tests.
class TTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit TTextDialog(const QString& text, QWidget* parent = nullptr);
    QString Text() const;
    QLineEdit* Edit() const { return Edit_; }

private:
    QLineEdit* Edit_;
};

class TSelectFieldDialog : public QDialog {
    Q_OBJECT
public:
    TSelectFieldDialog(const QStringList& labels, const QString& current,
                       QWidget* parent = nullptr);
    QString Selected() const;
    QListWidget* List() const { return List_; }

private:
    QListWidget* List_;
};

class TCounterDialog : public QDialog {
    Q_OBJECT
public:
    TCounterDialog(const TGCounterLabel& c, QWidget* parent = nullptr);
    QSpinBox *Start, *Repeat, *Zeros;
    QLineEdit *Before, *After;
};

class TSymbolSelector : public QDialog {
    Q_OBJECT
public:
    TSymbolSelector(const TDesignFont& font, int index, QWidget* parent = nullptr);
    static int ColumnsForSize(int points);
    static QString FontCaption(const TDesignFont& f);
    int SelectedIndex() const;
    const TDesignFont& Font() const { return Font_; }
    QListWidget* Grid() const { return Grid_; }
    QPushButton* FontButton() const { return FontButton_; }

private:
    void ApplyFont();
    TDesignFont Font_;
    QListWidget* Grid_;
    QPushButton* FontButton_;
};

class TMultiLineEditor : public QDialog {
    Q_OBJECT
public:
    TMultiLineEditor(const QStringList& lines, const TDesignFont& font, QWidget* parent = nullptr);
    QStringList Lines() const;
    QPlainTextEdit* Edit() const { return Edit_; }
    static constexpr int kMaxChars = 254;

private:
    QPlainTextEdit* Edit_;
};

class TText3DEffectsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TText3DEffectsDialog(const TGBaseLabel& label, QWidget* parent = nullptr);
    ~TText3DEffectsDialog() override;
    void ApplyTo(TGBaseLabel& label) const;
    QComboBox *ShadowDirection, *ShadowDepth, *HighlightDirection, *HighlightDepth;
    QPushButton *ShadowColor, *HighlightColor, *FontColor;
    const TGPLabel& Preview() const { return *Preview_; }

private:
    void UpdatePreview();
    TGPLabel* Preview_;
    QWidget* PreviewArea_;
    TColor Shadow_, Highlight_, FontColor_;
};

class TImageBrowser : public QDialog {
    Q_OBJECT
public:
    TImageBrowser(bool stretch, bool autoSize, QWidget* parent = nullptr);
    QString SelectedFile() const { return File_; }
    void SelectFile(const QString& path); // loads the preview
    QCheckBox *Stretch, *AutoSize;
    QLabel* Preview;
    QComboBox* Drives;
    QTreeView* Folders;
    QListView* Files;

private:
    QFileSystemModel *DirModel_, *FileModel_;
    QString File_;
};

} // namespace qp::design::ui
