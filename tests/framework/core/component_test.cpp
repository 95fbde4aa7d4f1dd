// Ownership, free notifications and deferred freeing of components.
#include "framework/core/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

std::vector<std::wstring> g_log;

class Logged : public TComponent {
public:
    Logged(TComponent* owner, std::wstring name) : TComponent(owner) { SetName(std::move(name)); }
    ~Logged() override { g_log.push_back(L"~" + Name()); }
    void BeforeDestruction() override { g_log.push_back(L"before " + Name()); }
    TComponent* seen_removed = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove) seen_removed = c;
    }
};

TEST(Component, OwnerFreesOwnedInReverseOrder) {
    g_log.clear();
    auto* owner = new Logged(nullptr, L"owner");
    new Logged(owner, L"a");
    new Logged(owner, L"b");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_NE(owner->FindComponent(L"b"), nullptr);
    owner->Free();
    // The owner's own destructor body runs first; its base then frees b, a.
    std::vector<std::wstring> expected = {L"before owner", L"~owner", L"before b", L"~b", L"before a", L"~a"};
    EXPECT_EQ(g_log, expected);
}

TEST(Component, FreedComponentLeavesItsOwner) {
    g_log.clear();
    Logged owner(nullptr, L"owner");
    auto* a = new Logged(&owner, L"a");
    a->Free();
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(Component, FreeNotificationClearsReferences) {
    Logged watcher(nullptr, L"w");
    auto* target = new Logged(nullptr, L"t");
    watcher.FreeNotification(target);
    target->Free();
    EXPECT_EQ(watcher.seen_removed, target);
}

TEST(Component, FreeInsideEventIsDeferredUntilTheEventEnds) {
    g_log.clear();
    auto* c = new Logged(nullptr, L"c");
    {
        TComponent::EventScope outer(c);
        {
            TComponent::EventScope inner(c);
            c->Free();
            EXPECT_TRUE(g_log.empty());
        }
        EXPECT_TRUE(g_log.empty());
    }
    std::vector<std::wstring> expected = {L"before c", L"~c"};
    EXPECT_EQ(g_log, expected);
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

TEST(Component, OwnerFreedWhileAnOwnedComponentsEventRunsWaitsForTheEvent) {
    g_log.clear();
    auto* form = new Logged(nullptr, L"form");
    auto* button = new Logged(form, L"button");
    {
        // The button's click handler frees the form it sits on.
        TComponent::EventScope click(button);
        form->Free();
        EXPECT_TRUE(g_log.empty());
        button->Free();  // and asks for itself too: still one delete
    }
    std::vector<std::wstring> expected = {L"before button", L"~button", L"before form", L"~form"};
    EXPECT_EQ(g_log, expected);
}

}  // namespace
}  // namespace fw
