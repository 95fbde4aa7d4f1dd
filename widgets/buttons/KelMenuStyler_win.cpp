#include "widgets/buttons/KelMenuStyler.h"

#include <algorithm>
#include <cstring>

#include "widgets/drawing/KelGDIP.h"

namespace kel::menus {

namespace {

fw::TColor& Pick(int index, fw::TColor& c0, fw::TColor& c1) {
    if (index == 0) return c0;
    if (index == 1) return c1;
    throw EInvalidPropertyIndex(index);
}

fw::TColor& Pick(int index, TFourColors& c) {
    switch (index) {
        case 0: return c.Color;
        case 1: return c.ColorTo;
        case 2: return c.Mirror;
        case 3: return c.MirrorTo;
        default: throw EInvalidPropertyIndex(index);
    }
}

// The system menu font, two points smaller when `smaller`, in `color`.
void SetMenuFontCopy(fw::TFont& font, bool smaller, fw::TColor color) {
    font.Assign(fw::MenuFont());
    if (smaller) font.SetSize(font.Size() - 2);
    font.SetColor(color);
}

}  // namespace

EInvalidPropertyIndex::EInvalidPropertyIndex(int index)
    : fw::Exception(L"Invalid property index " + std::to_wstring(index) + L".") {}

IStyledMenu* GetMenuHost(fw::TComponent* menu) { return dynamic_cast<IStyledMenu*>(menu); }

IStyledMenu* GetItemHost(fw::TMenuItem* item) {
    if (!item) return nullptr;
    if (fw::TMenu* menu = item->GetParentMenu()) return GetMenuHost(menu);
    return GetMenuHost(item->Owner());
}

void NotifyStyledMenu(fw::TComponent* menuLink, bool update) {
    IStyledMenu* host = GetMenuHost(menuLink);
    if (!host || !host->GetMenu()) return;
    // Without an update the values show when the menu next draws.
    if (update) host->UpdateItems();
}

void TStyledPart::Notify(bool update) const {
    if (styler_)
        styler_->NotifyMenus(update);
    else
        NotifyStyledMenu(menu_, update);
}

// ---- TGradientBar and its descendants

fw::TColor TGradientBar::GetColorByIndex(int index) const {
    auto* self = const_cast<TGradientBar*>(this);
    return Pick(index, self->color_, self->color_to_);
}

void TGradientBar::SetColorByIndex(int index, fw::TColor value) { Pick(index, color_, color_to_) = value; }

void TGradientBar::Assign(const TGradientBar& source) {
    SetColorByIndex(0, source.Color());
    SetColorByIndex(1, source.ColorTo());
    SetGradientDirection(source.GradientDirection());
}

fw::TColor TMarkBar::GetCheckColorByIndex(int index) const {
    auto* self = const_cast<TMarkBar*>(this);
    return Pick(index, self->check_.Color, self->check_.ColorTo);
}

void TMarkBar::SetCheckColorByIndex(int index, fw::TColor value) {
    Pick(index, check_.Color, check_.ColorTo) = value;
    Notify(false);
}

fw::TColor TMarkBar::GetRadioColorByIndex(int index) const {
    auto* self = const_cast<TMarkBar*>(this);
    return Pick(index, self->radio_.Color, self->radio_.ColorTo);
}

void TMarkBar::SetRadioColorByIndex(int index, fw::TColor value) {
    Pick(index, radio_.Color, radio_.ColorTo) = value;
    Notify(false);
}

void TIconBar::SetSize(int value) {
    size_ = value < 16 ? 16 : value;
    Notify(true);
}

void TIconBar::Assign(const TGradientBar& source) {
    TGradientBar::Assign(source);
    const auto* bar = dynamic_cast<const TIconBar*>(&source);
    if (!bar) return;
    AssignMarks(*bar);
    separator_color_ = bar->separator_color_;
    SetSize(bar->size_);
}

TSelectedItem::TSelectedItem() : TMarkBar(0xC2EEFF, fw::clNone, gdVertical, 0x3E80FE) {
    SetMenuFontCopy(font_, false, fw::clWindowText);
    SetMenuFontCopy(notes_font_, true, fw::clWindowText);
    // A change of a font's own properties reaches the menus too.
    font_.OnChange = [this] { Notify(true); };
    notes_font_.OnChange = [this] { Notify(true); };
}

void TSelectedItem::SetFont(const fw::TFont& font) { font_.Assign(font); }

void TSelectedItem::SetNotesFont(const fw::TFont& font) { notes_font_.Assign(font); }

void TSelectedItem::SetUseSystemFont(bool value) {
    use_system_font_ = value;
    Notify(true);
}

void TSelectedItem::Assign(const TGradientBar& source) {
    TGradientBar::Assign(source);
    const auto* item = dynamic_cast<const TSelectedItem*>(&source);
    if (!item) return;
    mirror_ = item->mirror_;
    mirror_to_ = item->mirror_to_;
    border_ = item->border_;
    AssignMarks(*item);
    font_.Assign(item->font_);
    notes_font_.Assign(item->notes_font_);
    SetUseSystemFont(item->use_system_font_);
}

TRootItem::TRootItem() : TGradientBar(0xE5D7D7, 0xF7F2F2, gdHorizontal) {
    SetMenuFontCopy(font_, false, fw::MenuFont().Color());
    font_.OnChange = [this] { Notify(true); };
}

void TRootItem::SetFont(const fw::TFont& font) { font_.Assign(font); }

void TRootItem::SetUseSystemFont(bool value) {
    use_system_font_ = value;
    Notify(true);
}

fw::TColor TRootItem::GetSelectedColorByIndex(int index) const {
    return Pick(index, const_cast<TRootItem*>(this)->selected_);
}

void TRootItem::SetSelectedColorByIndex(int index, fw::TColor value) {
    Pick(index, selected_) = value;
    Notify(true);
}

fw::TColor TRootItem::GetHoverColorByIndex(int index) const {
    return Pick(index, const_cast<TRootItem*>(this)->hover_);
}

void TRootItem::SetHoverColorByIndex(int index, fw::TColor value) {
    Pick(index, hover_) = value;
    Notify(true);
}

void TRootItem::Assign(const TGradientBar& source) {
    TGradientBar::Assign(source);
    const auto* item = dynamic_cast<const TRootItem*>(&source);
    if (!item) return;
    font_.Assign(item->font_);
    use_system_font_ = item->use_system_font_;
    selected_ = item->selected_;
    selected_direction_ = item->selected_direction_;
    selected_border_ = item->selected_border_;
    selected_text_ = item->selected_text_;
    hover_ = item->hover_;
    hover_direction_ = item->hover_direction_;
    hover_border_ = item->hover_border_;
    hover_text_ = item->hover_text_;
    Notify(true);
}

TBackground::TBackground() : TGradientBar(0xFFFAFD, fw::clNone, gdVertical) { Image(); }

fw::TPicture* TBackground::Image() {
    if (!image_) image_ = std::make_unique<fw::TPicture>();
    return image_.get();
}

void TBackground::SetImage(const fw::TPicture* picture) {
    if (picture) {
        Image()->Assign(picture);
    } else {
        image_.reset();
    }
    Notify(false);
}

fw::TBitmap& TBackground::CacheBitmap() {
    if (!cache_) cache_ = std::make_unique<fw::TBitmap>();
    return *cache_;
}

void TBackground::Assign(const TGradientBar& source) {
    TGradientBar::Assign(source);
    const auto* bg = dynamic_cast<const TBackground*>(&source);
    if (!bg) return;
    SetImage(bg->image_.get());
    position_ = bg->position_;
    offset_x_ = bg->offset_x_;
    offset_y_ = bg->offset_y_;
    margin_x_ = bg->margin_x_;
    margin_y_ = bg->margin_y_;
}

void TSeparator::Assign(const TGradientBar& source) {
    if (const auto* sep = dynamic_cast<const TSeparator*>(&source)) {
        width_ = sep->width_;
        type_ = sep->type_;
        gradient_width_ = sep->gradient_width_;
        margin_ = sep->margin_;
    }
    TGradientBar::Assign(source);
}

// ---- side bar

TBarCaption::TBarCaption() {
    font_.SetName(L"Tahoma");
    font_.SetSize(14);
    font_.SetColor(fw::clWhite);
    font_.SetStyle(fw::fsBold | fw::fsItalic);
    font_.OnChange = [this] { Notify(true); };
}

void TBarCaption::SetFont(const fw::TFont& font) { font_.Assign(font); }

void TBarCaption::Assign(const TBarCaption& source) {
    caption_offset_ = source.caption_offset_;
    alignment_ = source.alignment_;
    caption_ = source.caption_;
    font_.Assign(source.font_);
    shadow_color_ = source.shadow_color_;
    raised_color_ = source.raised_color_;
    depth_ = source.depth_;
    direction_ = source.direction_;
}

void TSideBar::SetImage(const TBackground& source) {
    image_.Assign(source);
    Notify(true);
}

void TSideBar::SetBackground(const TBackground& source) {
    background_.Assign(source);
    Notify(true);
}

void TSideBar::Assign(const TBarCaption& source) {
    if (const auto* bar = dynamic_cast<const TSideBar*>(&source)) {
        visible_ = bar->visible_;
        visible_in_ = bar->visible_in_;
        image_.Assign(bar->image_);
        background_.Assign(bar->background_);
        size_ = bar->size_;
        splitter_color_ = bar->splitter_color_;
        splitter_color_to_ = bar->splitter_color_to_;
        splitter_width_ = bar->splitter_width_;
        splitter_margin_ = bar->splitter_margin_;
        splitter_gradient_width_ = bar->splitter_gradient_width_;
        splitter_gradient_type_ = bar->splitter_gradient_type_;
        border_color_ = bar->border_color_;
    }
    TBarCaption::Assign(source);
}

// ---- glyphs

bool LoadMenuGlyph(const std::wstring& name, fw::TBitmap& bitmap) {
    const std::optional<TGlyphMask> mask = MenuGlyphResource(name);
    if (!mask) return false;
    bitmap.SetSize(mask->Width, mask->Height);
    for (int y = 0; y < mask->Height; ++y)
        for (int x = 0; x < mask->Width; ++x) bitmap.ScanLine(y)[x] = mask->At(x, y) ? 0xFF000000u : 0xFFFFFFFFu;
    return true;
}

void CopyBitmap(fw::TBitmap& target, fw::TBitmap* source) {
    if (!source || source->Empty()) {
        target.SetSize(0, 0);
        return;
    }
    GdiFlush();
    target.SetSize(source->Width(), source->Height());
    std::memcpy(target.Bits(), source->Bits(),
                static_cast<size_t>(source->Width()) * static_cast<size_t>(source->Height()) * sizeof(uint32_t));
}

TMenuGlyphs::TMenuGlyphs() {
    LoadMenuGlyph(L"KELSUBMENUITEM", sub_menu_);
    LoadMenuGlyph(L"KELCHECKITEM", check_);
    LoadMenuGlyph(L"KELRADIOITEM", radio_);
}

void TMenuGlyphs::SetSubMenu(fw::TBitmap* bitmap) {
    CopyBitmap(sub_menu_, bitmap);
    Notify(false);
}

void TMenuGlyphs::SetCheck(fw::TBitmap* bitmap) {
    CopyBitmap(check_, bitmap);
    Notify(false);
}

void TMenuGlyphs::SetRadio(fw::TBitmap* bitmap) {
    CopyBitmap(radio_, bitmap);
    Notify(false);
}

void TMenuGlyphs::Assign(TMenuGlyphs& source) {
    SetSubMenu(&source.sub_menu_);
    SetCheck(&source.check_);
    SetRadio(&source.radio_);
}

// ---- button appearance

TButtonAppearance::TButtonAppearance() { caption_font_.SetName(IsWindowsVistaOrLater() ? L"Segoe UI" : L"Tahoma"); }

void TButtonAppearance::Store(fw::TColor& field, fw::TColor value) {
    if (field == value) return;
    field = value;
    Changed();
}

void TButtonAppearance::SetGradientDirection(TGradientDirection v) {
    if (direction_ == v) return;
    direction_ = v;
    Changed();
}

void TButtonAppearance::SetCaptionFont(const fw::TFont& font) {
    caption_font_.Assign(font);
    Changed();
}

void TButtonAppearance::SetUseSystemFont(bool value) {
    if (use_system_font_ == value) return;
    use_system_font_ = value;
    if (value) caption_font_.SetName(IsWindowsVistaOrLater() ? L"Segoe UI" : L"Tahoma");
}

void TButtonAppearance::Changed() {
    if (OnChange) OnChange(this);
}

void TButtonAppearance::Assign(const TButtonAppearance& source) {
    color_ = source.color_;
    color_to_ = source.color_to_;
    hover_color_ = source.hover_color_;
    hover_color_to_ = source.hover_color_to_;
    down_color_ = source.down_color_;
    down_color_to_ = source.down_color_to_;
    direction_ = source.direction_;
    border_color_ = source.border_color_;
    hover_border_color_ = source.hover_border_color_;
    down_border_color_ = source.down_border_color_;
    caption_font_.Assign(source.caption_font_);
    use_system_font_ = source.use_system_font_;
}

// ---- the styler

TCustomKelMenuStyler::TCustomKelMenuStyler(fw::TComponent* owner)
    : fw::TComponent(owner),
      side_bar_(std::make_unique<TSideBar>()),
      background_(std::make_unique<TBackground>()),
      icon_bar_(std::make_unique<TIconBar>()),
      selected_item_(std::make_unique<TSelectedItem>()),
      root_item_(std::make_unique<TRootItem>()),
      glyphs_(std::make_unique<TMenuGlyphs>()),
      separator_(std::make_unique<TSeparator>()),
      button_appearance_(std::make_unique<TButtonAppearance>()) {
    SetMenuFontCopy(font_, false, fw::MenuFont().Color());
    SetMenuFontCopy(notes_font_, true, fw::clGray);
    font_.OnChange = [this] { Notify(true); };
    notes_font_.OnChange = [this] { Notify(true); };
    for (TStyledPart* part : std::initializer_list<TStyledPart*>{background_.get(), icon_bar_.get(),
                                                                 selected_item_.get(), root_item_.get(),
                                                                 glyphs_.get(), side_bar_.get(), separator_.get()})
        part->styler_ = this;
}

TCustomKelMenuStyler::~TCustomKelMenuStyler() = default;

void TCustomKelMenuStyler::SetBackground(const TBackground& v) {
    background_->Assign(v);
    Notify(false);
}

void TCustomKelMenuStyler::SetIconBar(const TIconBar& v) {
    icon_bar_->Assign(v);
    Notify(false);
}

void TCustomKelMenuStyler::SetSelectedItem(const TSelectedItem& v) {
    selected_item_->Assign(v);
    Notify(false);
}

void TCustomKelMenuStyler::SetRootItem(const TRootItem& v) {
    root_item_->Assign(v);
    Notify(false);
}

void TCustomKelMenuStyler::SetGlyphs(TMenuGlyphs& v) {
    glyphs_->Assign(v);
    Notify(false);
}

void TCustomKelMenuStyler::SetSeparator(const TSeparator& v) {
    separator_->Assign(v);
    Notify(false);
}

void TCustomKelMenuStyler::SetSideBar(const TSideBar& v) {
    side_bar_->Assign(v);
    Notify(true);
}

// The fonts tell the menus themselves when they change.
void TCustomKelMenuStyler::SetFont(const fw::TFont& font) { font_.Assign(font); }

void TCustomKelMenuStyler::SetNotesFont(const fw::TFont& font) { notes_font_.Assign(font); }

void TCustomKelMenuStyler::SetUseSystemFont(bool value) {
    use_system_font_ = value;
    Notify(true);
}

void TCustomKelMenuStyler::SetAntiAlias(TAntiAlias value) {
    anti_alias_ = value;
    Notify(true);
}

void TCustomKelMenuStyler::AttachMenu(fw::TComponent* menu) {
    // Free notifications go both ways and a menu may still use the styler,
    // so they stay in place when a menu is detached.
    if (!menu) {
        menus_.clear();
    } else {
        // Attached again: it becomes the last one.
        menus_.erase(std::remove(menus_.begin(), menus_.end(), menu), menus_.end());
        menus_.push_back(menu);
        FreeNotification(menu);
    }
    LinkParts();
    Notify(false);
}

void TCustomKelMenuStyler::DetachMenu(fw::TComponent* menu) {
    auto it = std::find(menus_.begin(), menus_.end(), menu);
    if (it == menus_.end()) return;
    menus_.erase(it);
    LinkParts();
}

void TCustomKelMenuStyler::LinkParts() {
    for (TStyledPart* part : std::initializer_list<TStyledPart*>{background_.get(), icon_bar_.get(),
                                                                 selected_item_.get(), root_item_.get(),
                                                                 glyphs_.get(), side_bar_.get(), separator_.get()})
        part->SetMenuLink(AttachedMenu());
}

void TCustomKelMenuStyler::NotifyMenus(bool update) const {
    // A menu may detach itself while it rebuilds.
    const std::vector<fw::TComponent*> menus = menus_;
    for (fw::TComponent* menu : menus) {
        if (std::find(menus_.begin(), menus_.end(), menu) != menus_.end()) NotifyStyledMenu(menu, update);
    }
}

void TCustomKelMenuStyler::Assign(fw::TComponent& source) {
    auto* styler = dynamic_cast<TCustomKelMenuStyler*>(&source);
    if (!styler) throw fw::EConvertError(L"Cannot assign a component of another class to a menu styler");
    SetBackground(*styler->background_);
    SetIconBar(*styler->icon_bar_);
    SetSelectedItem(*styler->selected_item_);
    SetRootItem(*styler->root_item_);
    SetGlyphs(*styler->glyphs_);
    SetSideBar(*styler->side_bar_);
    SetSeparator(*styler->separator_);
    font_.Assign(styler->font_);
    notes_font_.Assign(styler->notes_font_);
    anti_alias_ = styler->anti_alias_;
    menu_border_color_ = styler->menu_border_color_;
    button_appearance_->Assign(*styler->button_appearance_);
    SetUseSystemFont(styler->use_system_font_);
}

void TCustomKelMenuStyler::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TComponent::Notification(component, operation);
    if (operation == fw::TOperation::opRemove) DetachMenu(component);
}

}  // namespace kel::menus
