// TComponent ownership, notifications and deferred freeing.
#include "framework/component.h"

#include <algorithm>

namespace fw {

TComponent::TComponent(TComponent* owner) : owner_(nullptr) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
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
    if (event_depth_ > 0) {
        free_pending_ = true;
        return;
    }
    BeforeDestruction();
    delete this;
}

TComponent::EventScope::~EventScope() {
    if (--c_->event_depth_ == 0 && c_->free_pending_) {
        c_->free_pending_ = false;
        c_->BeforeDestruction();
        delete c_;
    }
}

}  // namespace fw
