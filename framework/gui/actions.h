// Actions: one command (caption, enabled, checked, hint, visible, image,
// shortcut, OnExecute) shared by the controls and menu items linked to it.
//
// A client (control, menu item) owns one action link. Setting a property of
// the action hands the new value to every link first, which passes it on to
// its client when the client still shows the action's old value (the
// property is "linked"); then the action changes, and every client hears it
// through ActionChange. A client's click runs its action when the action
// handles execution. Freeing either side unlinks: a freed action leaves its
// clients without an action, a freed client takes its link off the action.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/gui/menus.h"

namespace fw {

class TBasicAction;
class TCustomActionList;
class TImageList;

class TBasicActionLink {
public:
    TBasicActionLink() = default;
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* action);
    // Runs the action with `component` as its ActionComponent; true when
    // something handled it.
    virtual bool Execute(TComponent* component = nullptr);

    // The action changed (any property): the client refreshes from it.
    std::function<void(TBasicAction* sender)> OnChange;

protected:
    friend class TBasicAction;
    virtual void Change();

    TBasicAction* action_ = nullptr;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner);
    ~TBasicAction() override;

    // Fires OnExecute; true when it was set.
    virtual bool Execute();
    // Whether a click of a client should run the action instead of the
    // client's own OnClick.
    virtual bool HandlesExecute() const { return static_cast<bool>(OnExecute); }
    // The client that is executing the action, during Execute.
    TComponent* ActionComponent() const { return action_component_; }
    void SetActionComponent(TComponent* c) { action_component_ = c; }

    int ClientCount() const { return static_cast<int>(clients_.size()); }
    TBasicActionLink* Client(int index) const { return clients_.at(static_cast<size_t>(index)); }

    TNotifyEvent OnExecute;
    // Fires after any change of the action, after its clients heard it.
    TNotifyEvent OnChange;

protected:
    friend class TBasicActionLink;
    // Tells every client and then OnChange.
    void Change();
    void RegisterChanges(TBasicActionLink* link);
    void UnRegisterChanges(TBasicActionLink* link);

    std::vector<TBasicActionLink*> clients_;

private:
    TComponent* action_component_ = nullptr;
};

// An action that sits in an action list.
class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* owner);
    ~TContainedAction() override;

    TCustomActionList* ActionList() const { return action_list_; }
    void SetActionList(TCustomActionList* list);
    int Index() const;
    const std::wstring& Category() const { return category_; }
    void SetCategory(const std::wstring& c) { category_ = c; }

    // The list's OnExecute first; when it does not handle it, OnExecute.
    bool Execute() override;
    bool HandlesExecute() const override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TCustomActionList;
    TCustomActionList* action_list_ = nullptr;
    std::wstring category_;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* owner);

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& v);
    bool Checked() const { return checked_; }
    // Checking an action of a group (GroupIndex above 0) unchecks the other
    // actions of the group in its action list.
    void SetChecked(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    int ImageIndex() const { return image_index_; }
    void SetImageIndex(int v);
    TShortCut ShortCut() const { return short_cut_; }
    void SetShortCut(TShortCut v);
    int GroupIndex() const { return group_index_; }
    void SetGroupIndex(int v);
    // Execute toggles Checked (a checked action of a group stays checked).
    bool AutoCheck() const { return auto_check_; }
    void SetAutoCheck(bool v);

    // Nothing for a disabled action; otherwise AutoCheck, then the handlers.
    bool Execute() override;
    bool HandlesExecute() const override;

private:
    template <class T, class Apply>
    void SetProperty(T& field, const T& value, Apply apply);

    std::wstring caption_;
    bool checked_ = false;
    bool enabled_ = true;
    std::wstring hint_;
    bool visible_ = true;
    int image_index_ = -1;
    TShortCut short_cut_ = scNone;
    int group_index_ = 0;
    bool auto_check_ = false;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

using TActionEvent = std::function<void(TBasicAction* action, bool& handled)>;

class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* owner);
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TContainedAction* Actions(int index) const { return actions_.at(static_cast<size_t>(index)); }
    int IndexOf(const TContainedAction* action) const;
    // The list the actions' ImageIndex refers to; a change reaches every
    // client of every action.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

    // Runs OnExecute for the action; true when it handled it.
    bool ExecuteAction(TBasicAction* action);
    TActionEvent OnExecute;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // The list or its images changed: every action's clients hear it.
    void Changed();

private:
    friend class TContainedAction;
    void AddAction(TContainedAction* action);
    void RemoveAction(TContainedAction* action);

    std::vector<TContainedAction*> actions_;
    TImageList* images_ = nullptr;
};

class TActionList : public TCustomActionList {
public:
    explicit TActionList(TComponent* owner) : TCustomActionList(owner) {}
};

// An action list that also holds the images of disabled items.
class TActionManager : public TCustomActionList {
public:
    explicit TActionManager(TComponent* owner) : TCustomActionList(owner) {}
    TImageList* DisabledImages() const { return disabled_images_; }
    void SetDisabledImages(TImageList* images);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TImageList* disabled_images_ = nullptr;
};

// The properties a link can pass on. IsXLinked: whether the client follows
// the action's X (the base: the action is a TCustomAction); SetX: the
// action's X is about to become the value.
class TActionLink : public TBasicActionLink {
public:
    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsEnabledLinked() const;
    virtual bool IsHintLinked() const;
    virtual bool IsVisibleLinked() const;
    virtual bool IsImageIndexLinked() const;
    virtual bool IsShortCutLinked() const;
    virtual bool IsGroupIndexLinked() const;
    virtual bool IsAutoCheckLinked() const;
    virtual bool IsOnExecuteLinked() const;

    virtual void SetCaption(const std::wstring&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHint(const std::wstring&) {}
    virtual void SetVisible(bool) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetGroupIndex(int) {}
    virtual void SetAutoCheck(bool) {}

protected:
    // The action as a TCustomAction, or null.
    TCustomAction* CustomAction() const;
};

// Links a control: caption, enabled, hint and visible reach it; checked,
// image index and group index are for controls that have them (their own
// link class overrides the setters).
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* client) : client_(client) {}
    TControl* Client() const { return client_; }

    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;

    void SetCaption(const std::wstring& v) override;
    void SetEnabled(bool v) override;
    void SetHint(const std::wstring& v) override;
    void SetVisible(bool v) override;

protected:
    TControl* client_;
};

// Links a menu item: caption, checked, enabled, hint, visible, image
// index, shortcut and group index reach it.
class TMenuActionLink : public TActionLink {
public:
    explicit TMenuActionLink(TMenuItem* client) : client_(client) {}
    TMenuItem* Client() const { return client_; }

    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsImageIndexLinked() const override;
    bool IsShortCutLinked() const override;
    bool IsGroupIndexLinked() const override;

    void SetCaption(const std::wstring& v) override;
    void SetChecked(bool v) override;
    void SetEnabled(bool v) override;
    void SetHint(const std::wstring& v) override;
    void SetVisible(bool v) override;
    void SetImageIndex(int v) override;
    void SetShortCut(TShortCut v) override;
    void SetGroupIndex(int v) override;

protected:
    TMenuItem* client_;
};

}  // namespace fw
