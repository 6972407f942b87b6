#pragma once
// The editing commands of a design panel: the clipboard file, clone,
// layering, alignment, locking, selectability and select all. No widgets.
#include <QString>
#include <cstdint>

namespace qp::design {

class TGBasePanel;
class TGGraphicControl;
struct TDesignFont;

class TPanelCommands {
public:
    explicit TPanelCommands(TGBasePanel& panel) : P_(panel) {}
    const QString& LastError() const { return Error_; }

    // Clipboard ("Clipbrd.tmp" in the program folder), in zoom-1.0 coordinates.
    bool Copy();
    bool Cut(); // deletes only when the clipboard was written
    bool Paste();
    void Delete();
    bool CanPaste() const;
    // An object's own commands: the selection when it is selected, else just it.
    bool CopyObject(TGGraphicControl* o);
    bool CutObject(TGGraphicControl* o);
    void DeleteObject(TGGraphicControl* o);
    TGGraphicControl* Clone(TGGraphicControl* o);

    void BringSelectionToFront();
    void SendSelectionToBack();
    void AlignLeft();
    void AlignRight();
    void AlignTops();
    void AlignBottoms();
    void CenterVertically();
    void CenterHorizontally();
    void LockAll();
    void UnlockAll();
    void MarkAllSelectable();
    void MarkAllUnselectable();
    void SelectAll();
    void ApplyFont(const TDesignFont& f);

private:
    bool WriteClipboard(TGGraphicControl* single);
    TGBasePanel& P_;
    std::int64_t LastPaste_ = INT64_MIN / 2;
    int PastesSinceCopy_ = 0; // each paste of one copy lands 15 pixels further
    QString Error_;
};

} // namespace qp::design
