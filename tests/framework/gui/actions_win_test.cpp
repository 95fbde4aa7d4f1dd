// Actions: what reaches linked controls and menu items, which handler a
// click runs, check groups, and unlinking when either side is freed.
#include "framework/gui/actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/gui/image_list.h"
#include "tests/support/win_test_app.h"

namespace fw {
namespace {

using test::TestApplication;

TEST(Actions, LinkedClientsTakeTheActionsPropertiesAndFollowItsChanges) {
    TestApplication();
    TComponent owner(nullptr);
    auto* list = new TActionList(&owner);
    auto* action = new TAction(&owner);
    action->SetActionList(list);
    action->SetCaption(L"Open");
    action->SetHint(L"Opens a file");
    action->SetImageIndex(3);
    action->SetShortCut(ShortCut('O', ssCtrl));
    auto* control = new TControl(&owner);
    control->SetCaption(L"old");
    auto* item = new TMenuItem(&owner);
    control->SetAction(action);
    item->SetAction(action);

    EXPECT_EQ(control->Caption(), L"Open");
    EXPECT_EQ(control->Hint(), L"Opens a file");
    EXPECT_EQ(item->Caption(), L"Open");
    EXPECT_EQ(item->ImageIndex(), 3);
    EXPECT_EQ(item->ShortCut(), ShortCut('O', ssCtrl));
    EXPECT_EQ(action->ClientCount(), 2);

    action->SetCaption(L"Open...");
    action->SetEnabled(false);
    action->SetChecked(true);
    action->SetVisible(false);
    action->SetImageIndex(5);
    EXPECT_EQ(control->Caption(), L"Open...");
    EXPECT_FALSE(control->Enabled());
    EXPECT_FALSE(control->Visible());
    EXPECT_EQ(item->Caption(), L"Open...");
    EXPECT_FALSE(item->Enabled());
    EXPECT_TRUE(item->Checked());
    EXPECT_FALSE(item->Visible());
    EXPECT_EQ(item->ImageIndex(), 5);

    // A link passes a value on only while its client shows the old one.
    auto* link = control->ActionLink();
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->IsCaptionLinked());
    control->SetCaption(L"mine");
    EXPECT_FALSE(link->IsCaptionLinked());

    control->SetAction(nullptr);
    EXPECT_EQ(control->ActionLink(), nullptr);
    EXPECT_EQ(action->ClientCount(), 1);
}

TEST(Actions, AClickRunsTheLinkedActionInsteadOfOnClick) {
    TestApplication();
    TComponent owner(nullptr);
    auto* action = new TAction(&owner);
    auto* control = new TControl(&owner);
    auto* item = new TMenuItem(&owner);
    std::vector<std::wstring> calls;
    TComponent* executingFor = nullptr;
    control->OnClick = [&](TComponent*) { calls.push_back(L"control click"); };
    item->OnClick = [&](TComponent*) { calls.push_back(L"item click"); };

    // An action without a handler leaves the click to OnClick.
    control->SetAction(action);
    item->SetAction(action);
    control->Click();
    item->Click();
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"control click", L"item click"}));

    calls.clear();
    action->OnExecute = [&](TComponent*) {
        calls.push_back(L"execute");
        executingFor = action->ActionComponent();
    };
    control->Click();
    EXPECT_EQ(executingFor, control);
    item->Click();
    EXPECT_EQ(executingFor, item);
    EXPECT_EQ(action->ActionComponent(), nullptr);
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"execute", L"execute"}));

    // A disabled action runs nothing, and neither does the click.
    calls.clear();
    action->SetEnabled(false);
    control->Click();
    EXPECT_TRUE(calls.empty());

    // The action list sees the execution first and may take it.
    action->SetEnabled(true);
    auto* list = new TActionList(&owner);
    action->SetActionList(list);
    list->OnExecute = [&](TBasicAction* a, bool& handled) {
        calls.push_back(L"list");
        handled = a == action;
    };
    control->Click();
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"list"}));
}

TEST(Actions, AutoCheckGroupsKeepOneActionChecked) {
    TestApplication();
    TComponent owner(nullptr);
    auto* list = new TActionList(&owner);
    std::vector<TAction*> actions;
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 3; ++i) {
        auto* a = new TAction(&owner);
        a->SetActionList(list);
        a->SetGroupIndex(1);
        a->SetAutoCheck(true);
        auto* item = new TMenuItem(&owner);
        item->SetAction(a);
        actions.push_back(a);
        items.push_back(item);
    }
    items[1]->Click();
    EXPECT_TRUE(actions[1]->Checked());
    EXPECT_TRUE(items[1]->Checked());
    items[2]->Click();
    EXPECT_FALSE(actions[1]->Checked());
    EXPECT_FALSE(items[1]->Checked());
    EXPECT_TRUE(items[2]->Checked());
    // Clicking the checked one of a group leaves it checked.
    items[2]->Click();
    EXPECT_TRUE(items[2]->Checked());

    // Without a group an auto-check action toggles.
    auto* single = new TAction(&owner);
    single->SetAutoCheck(true);
    single->Execute();
    EXPECT_TRUE(single->Checked());
    single->Execute();
    EXPECT_FALSE(single->Checked());
}

TEST(Actions, FreeingEitherSideUnlinks) {
    TestApplication();
    TComponent owner(nullptr);
    auto* list = new TActionList(&owner);
    auto* images = new TImageList(&owner);
    list->SetImages(images);
    auto* action = new TAction(&owner);
    action->SetActionList(list);
    auto* control = new TControl(&owner);
    auto* item = new TMenuItem(&owner);
    control->SetAction(action);
    item->SetAction(action);

    control->Free();
    EXPECT_EQ(action->ClientCount(), 1);
    images->Free();
    EXPECT_EQ(list->Images(), nullptr);
    list->Free();
    EXPECT_EQ(action->ActionList(), nullptr);
    action->Free();
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(item->ActionLink(), nullptr);
    item->Click();  // nothing linked any more

    // A handler may free the control that ran it.
    auto* action2 = new TAction(&owner);
    auto* control2 = new TControl(&owner);
    control2->SetAction(action2);
    action2->OnExecute = [&](TComponent*) { action2->ActionComponent()->Free(); };
    control2->Click();
    EXPECT_EQ(action2->ClientCount(), 0);
}

}  // namespace
}  // namespace fw
