#include "win/component.h"

#include <algorithm>

namespace quaff::win {

Component::Component(Component* owner) : owner_(owner) {
    if (owner_) owner_->InsertOwned(this);
}

Component::~Component() {
    destroying_ = true;
    DestroyComponents();
    NotifyRemoval();
    if (owner_) owner_->RemoveOwned(this);
}

void Component::DestroyComponents() {
    // Owned components go first, newest first, while this object is still whole.
    while (!components_.empty()) {
        Component* c = components_.back();
        delete c;  // its destructor removes it from components_
    }
}

void Component::InsertOwned(Component* c) { components_.push_back(c); }

void Component::RemoveOwned(Component* c) {
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

void Component::NotifyRemoval() {
    // The owner's other components hear of the removal, as do registered listeners.
    std::vector<Component*> told;
    if (owner_) {
        std::vector<Component*> siblings = owner_->components_;
        for (Component* s : siblings) {
            if (s != this && !s->destroying_) {
                s->Notification(this, Operation::Remove);
                told.push_back(s);
            }
        }
        if (!owner_->destroying_) owner_->Notification(this, Operation::Remove);
        told.push_back(owner_);
    }
    std::vector<Component*> listeners = freeNotifies_;
    freeNotifies_.clear();
    for (Component* l : listeners) {
        l->freeNotifies_.erase(std::remove(l->freeNotifies_.begin(), l->freeNotifies_.end(), this),
                               l->freeNotifies_.end());
        if (std::find(told.begin(), told.end(), l) == told.end() && !l->destroying_)
            l->Notification(this, Operation::Remove);
    }
}

void Component::BeginLoading() {
    loading_ = true;
    for (Component* c : components_) c->BeginLoading();
}

void Component::EndLoading() {
    loading_ = false;
    Loaded();
    std::vector<Component*> owned = components_;
    for (Component* c : owned) c->EndLoading();
}

Component* Component::FindComponent(const std::string& name) const {
    for (Component* c : components_)
        if (c->name_ == name) return c;
    return nullptr;
}

void Component::FreeNotification(Component* other) {
    if (!other || other == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
        freeNotifies_.push_back(other);
    if (std::find(other->freeNotifies_.begin(), other->freeNotifies_.end(), this) ==
        other->freeNotifies_.end())
        other->freeNotifies_.push_back(this);
}

void Component::RemoveFreeNotification(Component* other) {
    if (!other) return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other),
                        freeNotifies_.end());
    other->freeNotifies_.erase(
        std::remove(other->freeNotifies_.begin(), other->freeNotifies_.end(), this),
        other->freeNotifies_.end());
}

void Component::Notification(Component* component, Operation operation) {
    if (operation == Operation::Remove) RemoveFreeNotification(component);
}

}  // namespace quaff::win
