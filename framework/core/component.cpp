// TComponent ownership, notifications and deferred freeing.
#include "framework/core/component.h"

#include <algorithm>

namespace fw {
namespace {

// Event handlers run on the GUI thread; one depth and one list per thread.
thread_local int t_event_depth = 0;
thread_local std::vector<TComponent*>* t_pending_free = nullptr;

std::vector<TComponent*>& PendingFree() {
    if (!t_pending_free) t_pending_free = new std::vector<TComponent*>();
    return *t_pending_free;
}

void ForgetPending(TComponent* c) {
    if (!t_pending_free) return;
    auto& list = *t_pending_free;
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(nullptr) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    ForgetPending(this);
    // Tell everyone who asked; copy first, since they unregister while we loop.
    auto notifies = free_notifies_;
    free_notifies_.clear();
    for (TComponent* c : notifies) {
        auto& back = c->free_notifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        c->Notification(this, TOperation::opRemove);
    }
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        last->BeforeDestruction();
        delete last;
    }
    if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::wstring& name) const {
    for (TComponent* c : components_) {
        if (c->name_ == name) return c;
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
    components_.push_back(c);
    c->owner_ = this;
    Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
    c->owner_ = nullptr;
    if (!destroying_) Notification(c, TOperation::opRemove);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation != TOperation::opRemove) return;
    // Owned components hear of each other's removal, like the owner itself.
    for (TComponent* c : components_) {
        if (c != component) c->Notification(component, operation);
    }
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(other->free_notifies_.begin(), other->free_notifies_.end(), this) == other->free_notifies_.end()) {
        other->free_notifies_.push_back(this);
        free_notifies_.push_back(other);
    }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    auto& a = other->free_notifies_;
    a.erase(std::remove(a.begin(), a.end(), this), a.end());
    auto& b = free_notifies_;
    b.erase(std::remove(b.begin(), b.end(), other), b.end());
}

void TComponent::Free() {
    if (t_event_depth > 0) {
        auto& list = PendingFree();
        if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
        return;
    }
    BeforeDestruction();
    delete this;
}

TComponent::EventScope::EventScope(TComponent* /*firing*/) { ++t_event_depth; }

TComponent::EventScope::~EventScope() {
    if (--t_event_depth > 0) return;
    // Freeing one may free others on the list (its owned components); each
    // takes itself off the list as it goes.
    ++t_event_depth;
    while (t_pending_free && !t_pending_free->empty()) {
        TComponent* c = t_pending_free->back();
        t_pending_free->pop_back();
        c->BeforeDestruction();
        delete c;
    }
    --t_event_depth;
}

}  // namespace fw
