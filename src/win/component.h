// The component model every window part and the tray component build on: an owner that
// frees what it owns, a design state, a loaded step run once designed values are applied,
// and removal notices sent to the owner's other components and to registered listeners.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quaff::win {

enum class Operation { Insert, Remove };

class Component;
// An event handler; Sender is the component that raises the event.
using NotifyEvent = std::function<void(Component* sender)>;

// Whether a component still exists: taken before running what may destroy it (an event
// handler, a nested message loop) and asked after, before the component is touched again.
class Liveness {
public:
    bool Alive() const { return !life_.expired(); }

private:
    friend class Component;
    explicit Liveness(std::weak_ptr<const bool> life) : life_(std::move(life)) {}
    std::weak_ptr<const bool> life_;
};

class Component {
public:
    explicit Component(Component* owner);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return owner_; }
    // Tells, after whatever may have destroyed this component, whether it still exists.
    Liveness Life() const { return Liveness(life_); }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    // Design state: the component is being edited, not run (design preview tests use it).
    bool Designing() const { return designing_; }
    void SetDesigning(bool value) { designing_ = value; }

    // True between BeginLoading and EndLoading, while designed values are applied.
    bool Loading() const { return loading_; }
    // Marks this component and everything it owns as loading.
    void BeginLoading();
    // Ends loading and runs Loaded on this component and everything it owns, in creation order.
    void EndLoading();

    const std::vector<Component*>& Components() const { return components_; }
    Component* FindComponent(const std::string& name) const;

    // Ask to be told (through Notification) when `other` is destroyed, whoever owns it.
    void FreeNotification(Component* other);
    void RemoveFreeNotification(Component* other);

protected:
    // Points `ref` at `other`, told (through Notification) when it is destroyed instead of
    // when the one it pointed at before is.
    template <class C>
    void Watch(C*& ref, C* other) {
        if (ref == other) return;
        if (ref) RemoveFreeNotification(ref);
        ref = other;
        if (other) FreeNotification(other);
    }

    // Destroys the owned components now, newest first. A subclass whose own teardown needs
    // them gone first (a window they hook) calls this from its destructor.
    void DestroyComponents();

    virtual void Loaded() {}
    virtual void Notification(Component* component, Operation operation);

private:
    void InsertOwned(Component* c);
    void RemoveOwned(Component* c);
    void NotifyRemoval();

    Component* owner_;
    std::string name_;
    bool designing_ = false;
    bool loading_ = false;
    bool destroying_ = false;
    std::vector<Component*> components_;    // owned, in creation order
    std::vector<Component*> freeNotifies_;  // told when this one goes (both directions kept)
    // Ends only when the component has gone entirely: what its Life() told then says so.
    const std::shared_ptr<const bool> life_ = std::make_shared<const bool>(true);
};

}  // namespace quaff::win
