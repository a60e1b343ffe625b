#include "toolkit/Classes.h"

#include <algorithm>

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    for (TComponent* other : notifies_) {
        other->Notification(this, TOperation::opRemove);
        auto& back = other->notifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
    }
    notifies_.clear();
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::Free(TComponent* component) {
    if (component == nullptr) return;
    component->BeforeDestruction();
    // The owned ones go while the owner is still whole, before any destructor of its own runs.
    component->DestroyComponents();
    delete component;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) Free(components_.back());  // each removes itself from the list
}

void TComponent::LoadedAll() {
    // A copy: a Loaded hook may create components of its own.
    std::vector<TComponent*> current = components_;
    for (TComponent* c : current) c->Loaded();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component->owner_ == this) RemoveComponent(component);
}

void TComponent::FreeNotification(TComponent* other) {
    if (other == nullptr || other == this) return;
    if (std::find(notifies_.begin(), notifies_.end(), other) == notifies_.end()) notifies_.push_back(other);
    if (std::find(other->notifies_.begin(), other->notifies_.end(), this) == other->notifies_.end())
        other->notifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (other == nullptr) return;
    notifies_.erase(std::remove(notifies_.begin(), notifies_.end(), other), notifies_.end());
    other->notifies_.erase(std::remove(other->notifies_.begin(), other->notifies_.end(), this),
                           other->notifies_.end());
}

void TComponent::InsertComponent(TComponent* component) {
    component->owner_ = this;
    components_.push_back(component);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
}

int TStrings::Add(const std::string& s) {
    int index = Count();
    Insert(index, s);
    return index;
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    std::string s = Get(from);
    Delete(from);
    Insert(to, s);
}

void TStrings::Exchange(int a, int b) {
    std::string s = Get(a);
    Put(a, Get(b));
    Put(b, s);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (Get(i) == s) return i;
    return -1;
}

void TStringList::Check(int index, int limit) const {
    if (index < 0 || index >= limit) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Get(int index) const {
    Check(index, Count());
    return items_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, const std::string& s) {
    Check(index, Count());
    items_[static_cast<size_t>(index)] = s;
}

void TStringList::Insert(int index, const std::string& s) {
    Check(index, Count() + 1);
    items_.insert(items_.begin() + index, s);
}

void TStringList::Delete(int index) {
    Check(index, Count());
    items_.erase(items_.begin() + index);
}
