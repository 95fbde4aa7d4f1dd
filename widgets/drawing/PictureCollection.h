// The named-picture container shared by both picture-container modules: a
// component holding a collection of items, each a picture it owns with a
// name and a tag. Each module instantiates it for its own picture class, so
// the two modules' items and collections are distinct types.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/component.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/PictureStoreRules.h"

namespace kel {

template <class TPic>
class TPictureCollectionT;

template <class TPic>
class TPictureItemT {
public:
    explicit TPictureItemT(TPictureCollectionT<TPic>* collection) : collection_(collection) {}
    TPictureItemT(const TPictureItemT&) = delete;
    TPictureItemT& operator=(const TPictureItemT&) = delete;

    TPic& Picture() { return picture_; }
    const TPic& Picture() const { return picture_; }
    // Copies the picture's contents; the item keeps its own picture.
    void SetPicture(const TPic& picture) { picture_.Assign(&picture); }
    const std::wstring& Name() const { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }
    int32_t Tag() const { return tag_; }
    void SetTag(int32_t tag) { tag_ = tag; }

    // Name, Tag and the picture's contents.
    void Assign(const TPictureItemT& source) {
        if (&source == this) return;
        name_ = source.name_;
        tag_ = source.tag_;
        picture_.Assign(&source.picture_);
    }

    TPictureCollectionT<TPic>* Collection() const { return collection_; }

private:
    TPictureCollectionT<TPic>* collection_;
    TPic picture_;
    int32_t tag_ = 0;
    std::wstring name_;
};

template <class TPic>
class TPictureCollectionT {
public:
    using TItem = TPictureItemT<TPic>;

    explicit TPictureCollectionT(fw::TComponent* owner) : owner_(owner) {}
    TPictureCollectionT(const TPictureCollectionT&) = delete;
    TPictureCollectionT& operator=(const TPictureCollectionT&) = delete;

    // The container, for the form designer.
    fw::TComponent* Owner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TItem* Add() {
        items_.push_back(std::make_unique<TItem>(this));
        return items_.back().get();
    }
    // nil for an index outside the collection.
    TItem* GetItem(int index) const {
        if (index < 0 || index >= Count()) return nullptr;
        return items_[static_cast<size_t>(index)].get();
    }
    void Delete(int index) {
        if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
    }
    void Clear() { items_.clear(); }
    // Copies the other collection's items into this one's own items.
    void Assign(const TPictureCollectionT& source) {
        if (&source == this) return;
        Clear();
        for (const auto& item : source.items_) Add()->Assign(*item);
    }
    // The picture of the first item whose name equals `name` after
    // upper-casing ASCII letters; nil when none does.
    TPic* PictureByName(const std::wstring& name) const {
        for (const auto& item : items_)
            if (SameNameAscii(item->Name(), name)) return &item->Picture();
        return nullptr;
    }

private:
    fw::TComponent* owner_;
    std::vector<std::unique_ptr<TItem>> items_;
};

template <class TPic>
class TPictureContainerT : public fw::TComponent, public IKelVersion {
public:
    using TCollection = TPictureCollectionT<TPic>;

    explicit TPictureContainerT(fw::TComponent* owner) : fw::TComponent(owner), items_(this) {}

    TCollection& Items() { return items_; }
    const TCollection& Items() const { return items_; }
    // Copies the given collection's items; the collection stays this one's.
    void SetItems(const TCollection& items) { items_.Assign(items); }

    virtual TPic* PictureByName(const std::wstring& name) const { return items_.PictureByName(name); }
    uint32_t GetVersionNr() const override { return 0x01000000; }

private:
    TCollection items_;
};

}  // namespace kel
