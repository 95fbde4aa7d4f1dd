// TComponent: the root of every object with a name and an owner. An owner
// frees what it owns, last created first; components that refer to each other
// ask for a free notification so a reference never dangles.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace fw {

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::wstring& Name() const { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Component(int index) const { return components_.at(static_cast<size_t>(index)); }
    TComponent* FindComponent(const std::wstring& name) const;

    // Asks to be told (Notification with opRemove) when `other` goes away.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // Frees the component now or, while any event handler of the thread is
    // running (any EventScope is open), as soon as the outermost one ends.
    // So a handler may free its own control, or the form it sits on.
    void Free();
    // Called just before the component is deleted by Free or by its owner,
    // while it is still whole (derived parts alive): forms fire OnDestroy here.
    virtual void BeforeDestruction() {}
    bool Destroying() const { return destroying_; }

    // Marks the span of an event handler call (or of a message being
    // handled); see Free. The component only documents who fires it.
    class EventScope {
    public:
        explicit EventScope(TComponent* firing);
        ~EventScope();
        EventScope(const EventScope&) = delete;
        EventScope& operator=(const EventScope&) = delete;
    };

protected:
    // Calls an event handler, if one is set, inside an EventScope.
    template <class Event, class... Args>
    void FireEvent(const Event& handler, Args&&... args) {
        if (!handler) return;
        EventScope scope(this);
        handler(std::forward<Args>(args)...);
    }

    virtual void Notification(TComponent* component, TOperation operation);
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

private:
    TComponent* owner_;
    std::wstring name_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> free_notifies_;
    bool destroying_ = false;
};

}  // namespace fw
