// Actions, action lists and the links of controls and menu items.
#include "framework/gui/actions.h"

#include <algorithm>

#include "framework/gui/image_list.h"

namespace fw {

// ---- TBasicActionLink

TBasicActionLink::~TBasicActionLink() {
    if (action_) action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* action) {
    if (action == action_) return;
    if (action_) action_->UnRegisterChanges(this);
    if (action) action->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
    TBasicAction* action = action_;
    if (!action) return false;
    action->SetActionComponent(component);
    bool handled = false;
    try {
        handled = action->Execute();
    } catch (...) {
        // The action may be gone when its handler freed it.
        if (action_ == action) action->SetActionComponent(nullptr);
        throw;
    }
    if (action_ == action) action->SetActionComponent(nullptr);
    return handled;
}

void TBasicActionLink::Change() {
    if (OnChange && action_) OnChange(action_);
}

// ---- TBasicAction

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction() {
    // The clients hear of it through their free notification; the links
    // only let go here so they do not unregister from a dead action.
    for (TBasicActionLink* link : clients_) link->action_ = nullptr;
    clients_.clear();
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    FireEvent(OnExecute, this);
    return true;
}

void TBasicAction::Change() {
    EventScope scope(this);
    // A client may unlink itself while it hears the change.
    auto clients = clients_;
    for (TBasicActionLink* link : clients) {
        if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->Change();
    }
    FireEvent(OnChange, this);
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
    link->action_ = this;
    clients_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), link), clients_.end());
    link->action_ = nullptr;
}

// ---- TContainedAction

TContainedAction::TContainedAction(TComponent* owner) : TBasicAction(owner) {}

TContainedAction::~TContainedAction() {
    if (action_list_) action_list_->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* list) {
    if (list == action_list_) return;
    if (action_list_) {
        action_list_->RemoveAction(this);
        RemoveFreeNotification(action_list_);
    }
    if (list) {
        list->AddAction(this);
        FreeNotification(list);
    }
    Change();
}

int TContainedAction::Index() const { return action_list_ ? action_list_->IndexOf(this) : -1; }

void TContainedAction::Notification(TComponent* component, TOperation operation) {
    TBasicAction::Notification(component, operation);
    if (operation == TOperation::opRemove && component == action_list_) action_list_ = nullptr;
}

bool TContainedAction::Execute() {
    if (action_list_ && action_list_->ExecuteAction(this)) return true;
    return TBasicAction::Execute();
}

bool TContainedAction::HandlesExecute() const {
    return TBasicAction::HandlesExecute() || (action_list_ && action_list_->OnExecute);
}

// ---- TCustomAction

TCustomAction::TCustomAction(TComponent* owner) : TContainedAction(owner) {}

template <class T, class Apply>
void TCustomAction::SetProperty(T& field, const T& value, Apply apply) {
    if (field == value) return;
    // The links compare their client with the old value, so they go first.
    auto clients = clients_;
    for (TBasicActionLink* link : clients) {
        if (auto* l = dynamic_cast<TActionLink*>(link)) apply(*l);
    }
    field = value;
    Change();
}

void TCustomAction::SetCaption(const std::wstring& v) {
    SetProperty(caption_, v, [&](TActionLink& l) { l.SetCaption(v); });
}

void TCustomAction::SetChecked(bool v) {
    if (v == checked_) return;
    SetProperty(checked_, v, [&](TActionLink& l) { l.SetChecked(v); });
    if (v && group_index_ > 0 && ActionList()) {
        TCustomActionList* list = ActionList();
        for (int i = 0; i < list->ActionCount(); ++i) {
            auto* other = dynamic_cast<TCustomAction*>(list->Actions(i));
            if (other && other != this && other->group_index_ == group_index_) other->SetChecked(false);
        }
    }
}

void TCustomAction::SetEnabled(bool v) {
    SetProperty(enabled_, v, [&](TActionLink& l) { l.SetEnabled(v); });
}

void TCustomAction::SetHint(const std::wstring& v) {
    SetProperty(hint_, v, [&](TActionLink& l) { l.SetHint(v); });
}

void TCustomAction::SetVisible(bool v) {
    SetProperty(visible_, v, [&](TActionLink& l) { l.SetVisible(v); });
}

void TCustomAction::SetImageIndex(int v) {
    SetProperty(image_index_, v, [&](TActionLink& l) { l.SetImageIndex(v); });
}

void TCustomAction::SetShortCut(TShortCut v) {
    SetProperty(short_cut_, v, [&](TActionLink& l) { l.SetShortCut(v); });
}

void TCustomAction::SetGroupIndex(int v) {
    SetProperty(group_index_, v, [&](TActionLink& l) { l.SetGroupIndex(v); });
}

void TCustomAction::SetAutoCheck(bool v) {
    SetProperty(auto_check_, v, [&](TActionLink& l) { l.SetAutoCheck(v); });
}

bool TCustomAction::Execute() {
    if (!enabled_) return false;
    if (auto_check_ && !(checked_ && group_index_ > 0)) SetChecked(!checked_);
    bool handled = TContainedAction::Execute();
    return handled || auto_check_;
}

bool TCustomAction::HandlesExecute() const { return TContainedAction::HandlesExecute() || auto_check_; }

// ---- TCustomActionList

TCustomActionList::TCustomActionList(TComponent* owner) : TComponent(owner) {}

TCustomActionList::~TCustomActionList() {
    auto actions = actions_;
    for (TContainedAction* a : actions) a->SetActionList(nullptr);
}

int TCustomActionList::IndexOf(const TContainedAction* action) const {
    auto it = std::find(actions_.begin(), actions_.end(), action);
    return it == actions_.end() ? -1 : static_cast<int>(it - actions_.begin());
}

void TCustomActionList::AddAction(TContainedAction* action) {
    actions_.push_back(action);
    action->action_list_ = this;
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
    actions_.erase(std::remove(actions_.begin(), actions_.end(), action), actions_.end());
    action->action_list_ = nullptr;
}

void TCustomActionList::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_) RemoveFreeNotification(images_);
    images_ = images;
    if (images) FreeNotification(images);
    Changed();
}

void TCustomActionList::Changed() {
    auto actions = actions_;
    for (TContainedAction* a : actions) {
        if (IndexOf(a) >= 0) a->Change();
    }
}

bool TCustomActionList::ExecuteAction(TBasicAction* action) {
    if (!OnExecute) return false;
    bool handled = false;
    EventScope scope(this);
    OnExecute(action, handled);
    return handled;
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == images_) {
        images_ = nullptr;
        if (!Destroying()) Changed();
    }
    // An action freed while in the list.
    auto it = std::find(actions_.begin(), actions_.end(), component);
    if (it != actions_.end()) actions_.erase(it);
}

void TActionManager::SetDisabledImages(TImageList* images) {
    if (images == disabled_images_) return;
    if (disabled_images_) RemoveFreeNotification(disabled_images_);
    disabled_images_ = images;
    if (images) FreeNotification(images);
    Changed();
}

void TActionManager::Notification(TComponent* component, TOperation operation) {
    TCustomActionList::Notification(component, operation);
    if (operation == TOperation::opRemove && component == disabled_images_) {
        disabled_images_ = nullptr;
        if (!Destroying()) Changed();
    }
}

// ---- TActionLink

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(action_); }

bool TActionLink::IsCaptionLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsAutoCheckLinked() const { return CustomAction() != nullptr; }
bool TActionLink::IsOnExecuteLinked() const { return action_ && action_->HandlesExecute(); }

// ---- TControlActionLink

bool TControlActionLink::IsCaptionLinked() const {
    return TActionLink::IsCaptionLinked() && client_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const {
    return TActionLink::IsEnabledLinked() && client_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const {
    return TActionLink::IsHintLinked() && client_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const {
    return TActionLink::IsVisibleLinked() && client_->Visible() == CustomAction()->Visible();
}

void TControlActionLink::SetCaption(const std::wstring& v) {
    if (IsCaptionLinked()) client_->SetCaption(v);
}

void TControlActionLink::SetEnabled(bool v) {
    if (IsEnabledLinked()) client_->SetEnabled(v);
}

void TControlActionLink::SetHint(const std::wstring& v) {
    if (IsHintLinked()) client_->SetHint(v);
}

void TControlActionLink::SetVisible(bool v) {
    if (IsVisibleLinked()) client_->SetVisible(v);
}

// ---- TMenuActionLink

bool TMenuActionLink::IsCaptionLinked() const {
    return TActionLink::IsCaptionLinked() && client_->Caption() == CustomAction()->Caption();
}

bool TMenuActionLink::IsCheckedLinked() const {
    return TActionLink::IsCheckedLinked() && client_->Checked() == CustomAction()->Checked();
}

bool TMenuActionLink::IsEnabledLinked() const {
    return TActionLink::IsEnabledLinked() && client_->Enabled() == CustomAction()->Enabled();
}

bool TMenuActionLink::IsHintLinked() const {
    return TActionLink::IsHintLinked() && client_->Hint() == CustomAction()->Hint();
}

bool TMenuActionLink::IsVisibleLinked() const {
    return TActionLink::IsVisibleLinked() && client_->Visible() == CustomAction()->Visible();
}

bool TMenuActionLink::IsImageIndexLinked() const {
    return TActionLink::IsImageIndexLinked() && client_->ImageIndex() == CustomAction()->ImageIndex();
}

bool TMenuActionLink::IsShortCutLinked() const {
    return TActionLink::IsShortCutLinked() && client_->ShortCut() == CustomAction()->ShortCut();
}

bool TMenuActionLink::IsGroupIndexLinked() const {
    return TActionLink::IsGroupIndexLinked() && client_->GroupIndex() == CustomAction()->GroupIndex();
}

void TMenuActionLink::SetCaption(const std::wstring& v) {
    if (IsCaptionLinked()) client_->SetCaption(v);
}

void TMenuActionLink::SetChecked(bool v) {
    if (IsCheckedLinked()) client_->SetChecked(v);
}

void TMenuActionLink::SetEnabled(bool v) {
    if (IsEnabledLinked()) client_->SetEnabled(v);
}

void TMenuActionLink::SetHint(const std::wstring& v) {
    if (IsHintLinked()) client_->SetHint(v);
}

void TMenuActionLink::SetVisible(bool v) {
    if (IsVisibleLinked()) client_->SetVisible(v);
}

void TMenuActionLink::SetImageIndex(int v) {
    if (IsImageIndexLinked()) client_->SetImageIndex(v);
}

void TMenuActionLink::SetShortCut(TShortCut v) {
    if (IsShortCutLinked()) client_->SetShortCut(v);
}

void TMenuActionLink::SetGroupIndex(int v) {
    if (IsGroupIndexLinked()) client_->SetGroupIndex(v);
}

}  // namespace fw
