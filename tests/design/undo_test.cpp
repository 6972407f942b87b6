// Every property of every kind, set through its table, marks the panel
// changed; undo and redo of each change give back the very same layout bytes.
#include "design/base_panel.h"
#include "design/layout_stream.h"
#include "design/object_registry.h"
#include "every_kind.h"

#include <gtest/gtest.h>

using namespace qp::design;
using namespace qp::design::testing;

namespace {

QByteArray Bytes(const TGBasePanel& panel) {
    std::vector<const TGGraphicControl*> list;
    for (int i = 0; i < panel.ObjectCount(); ++i)
        list.push_back(panel.Object(i));
    TStreamWriter w;
    w.WriteObjectList(list);
    return w.Data();
}

struct TFixture {
    TGBasePanel panel;
    int changes = 0;
    TFixture() {
        panel.SetSize(2000, 2000);
        panel.LabelChangedEvent = [this] { ++changes; };
    }
    // A fresh object of each kind, on the panel.
    std::vector<TGGraphicControl*>
    AddFreshKinds(const std::vector<std::unique_ptr<TGGraphicControl>>& odd) {
        std::vector<TGGraphicControl*> out;
        for (const auto& o : odd) {
            auto fresh = CreateBuiltInObject(o->ClassName());
            out.push_back(panel.AddObject(std::move(fresh), QRect(QPoint(5, 5), QPoint(120, 60))));
        }
        panel.CommitUndoStep();
        return out;
    }
};

TEST(PropertyTable, EveryPropertySetThroughItsTableMarksThePanelChanged) {
    const auto odd = EveryKind();
    TFixture f;
    const auto fresh = f.AddFreshKinds(odd);
    int checked = 0;
    for (size_t k = 0; k < odd.size(); ++k) {
        for (const TPropertyRow& row : fresh[k]->PropertyTable().Rows()) {
            if (row.Store == srNever)
                continue;
            const TPropertyValue want = *odd[k]->Property(row.Name);
            if (*fresh[k]->Property(row.Name) == want)
                continue;
            f.changes = 0;
            ASSERT_TRUE(fresh[k]->SetProperty(row.Name, want))
                << odd[k]->ClassName().toStdString() << " " << row.Name.toStdString();
            EXPECT_GT(f.changes, 0)
                << odd[k]->ClassName().toStdString() << " " << row.Name.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 150);
}

TEST(PropertyTable, TypedSettersNotifyToo) {
    TFixture f;
    auto* label = static_cast<TGPLabel*>(
        f.panel.AddObject(std::make_unique<TGPLabel>(), QRect(QPoint(5, 5), QPoint(120, 60))));
    auto* shape = static_cast<TGLabelShapes*>(
        f.panel.AddObject(std::make_unique<TGLabelShapes>(), QRect(QPoint(5, 5), QPoint(120, 60))));
    auto* image = static_cast<TGImage*>(
        f.panel.AddObject(std::make_unique<TGImage>(), QRect(QPoint(5, 5), QPoint(120, 60))));
    for (auto set : std::initializer_list<std::function<void()>>{
             [&] { label->SetDepthShadow(4); }, [&] { label->SetDirectionShadow(sdDown); },
             [&] { label->SetcolorHighlight(clBlack); }, [&] { shape->SetTransparent(true); },
             [&] { shape->SetRoundPerc(70); }, [&] { image->SetStretch(false); },
             [&] { image->SetOptionsDirect(true, true); }}) {
        f.changes = 0;
        set();
        EXPECT_GT(f.changes, 0);
    }
}

TEST(PanelUndo, EveryChangeUndoesAndRedoesToTheSameBytes) {
    const auto odd = EveryKind();
    TFixture f;
    const auto fresh = f.AddFreshKinds(odd);
    std::vector<std::pair<QByteArray, QByteArray>> steps;
    for (size_t k = 0; k < odd.size(); ++k) {
        // The objects are found again by position: undo replaces them.
        for (const TPropertyRow& row : odd[k]->PropertyTable().Rows()) {
            if (row.Store == srNever)
                continue;
            TGGraphicControl* o = f.panel.Object(int(k));
            const TPropertyValue want = *odd[k]->Property(row.Name);
            if (*o->Property(row.Name) == want)
                continue;
            const QByteArray before = Bytes(f.panel);
            o->SetProperty(row.Name, want);
            f.panel.CommitUndoStep();
            const QByteArray after = Bytes(f.panel);
            if (after == before)
                continue;
            steps.emplace_back(before, after);
        }
    }
    ASSERT_GT(steps.size(), size_t(TGBasePanel::kUndoDepth));
    // The history keeps the last kUndoDepth steps (at least a hundred).
    static_assert(TGBasePanel::kUndoDepth >= 100);
    steps.erase(steps.begin(), steps.end() - TGBasePanel::kUndoDepth);
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        ASSERT_EQ(Bytes(f.panel), it->second);
        ASSERT_TRUE(f.panel.Undo());
        ASSERT_EQ(Bytes(f.panel).toHex(), it->first.toHex());
    }
    EXPECT_FALSE(f.panel.Undo());
    for (const auto& [before, after] : steps) {
        ASSERT_TRUE(f.panel.Redo());
        ASSERT_EQ(Bytes(f.panel).toHex(), after.toHex());
    }
    EXPECT_FALSE(f.panel.Redo());
}

TEST(PanelUndo, AddDeleteMoveAndZoom) {
    TFixture f;
    const QByteArray empty = Bytes(f.panel);
    TGGraphicControl* o =
        f.panel.AddObject(std::make_unique<TGLabelShapes>(), QRect(QPoint(10, 10), QPoint(60, 60)));
    f.panel.CommitUndoStep();
    const QByteArray added = Bytes(f.panel);
    o->SetBounds(30, 40, 50, 50);
    f.panel.CommitUndoStep();
    const QByteArray moved = Bytes(f.panel);
    f.panel.DeleteObject(f.panel.Object(0));
    f.panel.NotifyChanged();
    f.panel.CommitUndoStep();
    // Zooming is not a step and does not mark the layout changed.
    f.changes = 0;
    f.panel.SetZoom(1.5f);
    f.panel.SetZoom(1.0f);
    EXPECT_EQ(f.changes, 0);
    ASSERT_TRUE(f.panel.Undo());
    EXPECT_EQ(Bytes(f.panel), moved);
    EXPECT_GT(f.changes, 0); // "Save" shows after an undo
    ASSERT_TRUE(f.panel.Undo());
    EXPECT_EQ(Bytes(f.panel), added);
    ASSERT_TRUE(f.panel.Undo());
    EXPECT_EQ(Bytes(f.panel), empty);
    EXPECT_FALSE(f.panel.Undo());
    ASSERT_TRUE(f.panel.Redo());
    EXPECT_EQ(Bytes(f.panel), added);
    // A new change drops what could be redone.
    f.panel.Object(0)->SetLocked(true);
    f.panel.CommitUndoStep();
    EXPECT_FALSE(f.panel.CanRedo());
}

} // namespace
