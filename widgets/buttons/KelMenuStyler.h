// The menu styler: the colours, fonts, glyphs and sizes that an owner-drawn
// popup menu is painted with, grouped in parts (icon column, highlighted
// item, menu-bar items, background, separators, side bar, glyphs, buttons).
// A styler may serve several menus; a change reaches every menu attached
// to it, a change of one of its fonts too. Menus reach it, and it reaches
// them, through IStyledMenu.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/exceptions.h"
#include "framework/gui/graphics.h"
#include "framework/gui/menus.h"
#include "framework/gui/picture.h"
#include "framework/gui/std_controls.h"
#include "widgets/buttons/KelMenuUtil.h"
#include "widgets/drawing/KelGDIPTypes.h"

namespace kel::menus {

class TCustomKelMenuStyler;

// Raised by the indexed colour accessors for an index outside their range.
class EInvalidPropertyIndex : public fw::Exception {
public:
    explicit EInvalidPropertyIndex(int index);
};

// What a menu drawn through a styler offers to the styler and the painter.
class IStyledMenu {
public:
    virtual ~IStyledMenu() = default;
    // Rebuilds the system menu, so its items are measured again.
    virtual void UpdateItems() = 0;
    virtual fw::TMenu* GetMenu() = 0;
    // The styler set by the user, or null.
    virtual TCustomKelMenuStyler* GetMenuStyler() const = 0;
    // The styler in use: the user's, else the menu's own.
    virtual TCustomKelMenuStyler* GetCurrentStyler() const = 0;
    virtual void SetMenuStyler(TCustomKelMenuStyler* styler) = 0;
    virtual bool GetShowNotes() const = 0;
    virtual void SetShowNotes(bool value) = 0;
    virtual bool GetIntlKeybShortCuts() const = 0;
    virtual void SetIntlKeybShortCuts(bool value) = 0;
    // Images for disabled items, drawn in colour; null for none.
    virtual fw::TImageList* GetDisabledImages() const { return nullptr; }
};

IStyledMenu* GetMenuHost(fw::TComponent* menu);
// The host of the item's menu (its owner for an item not in a menu).
IStyledMenu* GetItemHost(fw::TMenuItem* item);
// Tells the linked menu of a change; with `update` it rebuilds its items.
void NotifyStyledMenu(fw::TComponent* menuLink, bool update);

// Base of the parts: the link to the menu that attached the styler last,
// and the change notification, which the styler hands to every menu
// attached to it.
class TStyledPart {
public:
    virtual ~TStyledPart() = default;
    fw::TComponent* MenuLink() const { return menu_; }
    void SetMenuLink(fw::TComponent* menu) { menu_ = menu; }

protected:
    friend class TCustomKelMenuStyler;
    void Notify(bool update) const;

private:
    fw::TComponent* menu_ = nullptr;
    const TCustomKelMenuStyler* styler_ = nullptr;  // set for the styler's own parts
};

// Two colours and the direction of the gradient between them.
class TGradientBar : public TStyledPart {
public:
    TGradientBar(fw::TColor color, fw::TColor colorTo, TGradientDirection direction)
        : direction_(direction), color_(color), color_to_(colorTo) {}
    fw::TColor Color() const { return color_; }
    fw::TColor ColorTo() const { return color_to_; }
    // Index 0 Color, 1 ColorTo; stores only, the menu shows it when it next opens.
    fw::TColor GetColorByIndex(int index) const;
    void SetColorByIndex(int index, fw::TColor value);
    TGradientDirection GradientDirection() const { return direction_; }
    void SetGradientDirection(TGradientDirection v) { direction_ = v; }
    virtual void Assign(const TGradientBar& source);

private:
    TGradientDirection direction_;
    fw::TColor color_;
    fw::TColor color_to_;
};

// The check and radio boxes drawn in the icon column.
struct TMarkBoxColors {
    fw::TColor Color;
    fw::TColor ColorTo = fw::clNone;
    fw::TColor Border = 0x6F4B4B;
    TGradientDirection Direction = gdVertical;
};

// A gradient bar that also holds the colours of the check and radio boxes.
class TMarkBar : public TGradientBar {
public:
    TMarkBar(fw::TColor color, fw::TColor colorTo, TGradientDirection direction, fw::TColor markColor)
        : TGradientBar(color, colorTo, direction), check_{markColor}, radio_{markColor} {}
    const TMarkBoxColors& Check() const { return check_; }
    const TMarkBoxColors& Radio() const { return radio_; }
    // Index 0 the colour, 1 the colour to; the setters notify the menu.
    fw::TColor GetCheckColorByIndex(int index) const;
    void SetCheckColorByIndex(int index, fw::TColor value);
    fw::TColor GetRadioColorByIndex(int index) const;
    void SetRadioColorByIndex(int index, fw::TColor value);
    void SetCheckBorder(fw::TColor v) { check_.Border = v; }
    void SetCheckGradientDirection(TGradientDirection v) { check_.Direction = v; }
    void SetRadioBorder(fw::TColor v) { radio_.Border = v; }
    void SetRadioGradientDirection(TGradientDirection v) { radio_.Direction = v; }

protected:
    void AssignMarks(const TMarkBar& source) {
        check_ = source.check_;
        radio_ = source.radio_;
    }

private:
    TMarkBoxColors check_;
    TMarkBoxColors radio_;
};

class TIconBar : public TMarkBar {
public:
    TIconBar() : TMarkBar(0xFFF9F9, 0xBBA0A1, gdHorizontal, 0x6FC0FF) {}
    fw::TColor SeparatorColor() const { return separator_color_; }
    void SetSeparatorColor(fw::TColor v) { separator_color_ = v; }
    int Size() const { return size_; }
    // At least 16; the menu measures its items again.
    void SetSize(int value);
    void Assign(const TGradientBar& source) override;

private:
    fw::TColor separator_color_ = fw::clNone;
    int size_ = 24;
};

class TSelectedItem : public TMarkBar {
public:
    TSelectedItem();
    fw::TColor ColorMirror() const { return mirror_; }
    fw::TColor ColorMirrorTo() const { return mirror_to_; }
    void SetColorMirror(fw::TColor v) { mirror_ = v; }
    void SetColorMirrorTo(fw::TColor v) { mirror_to_ = v; }
    fw::TColor BorderColor() const { return border_; }
    void SetBorderColor(fw::TColor v) { border_ = v; }
    fw::TFont& Font() { return font_; }
    void SetFont(const fw::TFont& font);
    fw::TFont& NotesFont() { return notes_font_; }
    void SetNotesFont(const fw::TFont& font);
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);
    void Assign(const TGradientBar& source) override;

private:
    fw::TColor mirror_ = fw::clNone;
    fw::TColor mirror_to_ = fw::clNone;
    fw::TColor border_ = 0x6F4B4B;
    fw::TFont font_;
    fw::TFont notes_font_;
    bool use_system_font_ = true;
};

// A highlight of four colours (upper gradient and lower mirror gradient).
struct TFourColors {
    fw::TColor Color, ColorTo, Mirror = fw::clNone, MirrorTo = fw::clNone;
};

class TRootItem : public TGradientBar {
public:
    TRootItem();
    fw::TFont& Font() { return font_; }
    void SetFont(const fw::TFont& font);
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);
    // Indices 0 to 3: colour, colour to, mirror, mirror to.
    fw::TColor GetSelectedColorByIndex(int index) const;
    void SetSelectedColorByIndex(int index, fw::TColor value);
    fw::TColor GetHoverColorByIndex(int index) const;
    void SetHoverColorByIndex(int index, fw::TColor value);
    TGradientDirection SelectedGradientDirection() const { return selected_direction_; }
    void SetSelectedGradientDirection(TGradientDirection v) { selected_direction_ = v; }
    fw::TColor SelectedBorderColor() const { return selected_border_; }
    void SetSelectedBorderColor(fw::TColor v) { selected_border_ = v; }
    fw::TColor SelectedTextColor() const { return selected_text_; }
    void SetSelectedTextColor(fw::TColor v) { selected_text_ = v; }
    TGradientDirection HoverGradientDirection() const { return hover_direction_; }
    void SetHoverGradientDirection(TGradientDirection v) { hover_direction_ = v; }
    fw::TColor HoverBorderColor() const { return hover_border_; }
    void SetHoverBorderColor(fw::TColor v) { hover_border_ = v; }
    fw::TColor HoverTextColor() const { return hover_text_; }
    void SetHoverTextColor(fw::TColor v) { hover_text_ = v; }
    void Assign(const TGradientBar& source) override;

private:
    fw::TFont font_;
    bool use_system_font_ = true;
    TFourColors selected_{0xF2E8E8, 0xCDB8B9};
    TGradientDirection selected_direction_ = gdVertical;
    fw::TColor selected_border_ = 0x947C7C;
    fw::TColor selected_text_ = fw::clWindowText;
    TFourColors hover_{0xCFF6FF, 0x9DD8FF};
    TGradientDirection hover_direction_ = gdVertical;
    fw::TColor hover_border_ = 0x6F4B4B;
    fw::TColor hover_text_ = fw::clWindowText;
};

class TBackground : public TGradientBar {
public:
    TBackground();
    // Never null: an empty picture is made when there is none.
    fw::TPicture* Image();
    bool HasPicture() const { return image_ && image_->Graphic() && !image_->Graphic()->Empty(); }
    // Copies the picture; null drops it.
    void SetImage(const fw::TPicture* picture);
    TBackgroundPosition Position() const { return position_; }
    void SetPosition(TBackgroundPosition v) { position_ = v; }
    int OffsetX() const { return offset_x_; }
    int OffsetY() const { return offset_y_; }
    void SetOffsetX(int v) { offset_x_ = v; }
    void SetOffsetY(int v) { offset_y_ = v; }
    int MarginX() const { return margin_x_; }
    int MarginY() const { return margin_y_; }
    void SetMarginX(int v) { margin_x_ = v; }
    void SetMarginY(int v) { margin_y_ = v; }
    fw::TBitmap& CacheBitmap();
    void Assign(const TGradientBar& source) override;

private:
    std::unique_ptr<fw::TPicture> image_;
    TBackgroundPosition position_ = bpCenter;
    int offset_x_ = 0;
    int offset_y_ = 0;
    int margin_x_ = 0;
    int margin_y_ = 0;
    std::unique_ptr<fw::TBitmap> cache_;
};

class TSeparator : public TGradientBar {
public:
    TSeparator() : TGradientBar(0x8F6D6E, fw::clNone, gdHorizontal) {}
    int Width() const { return width_; }
    void SetWidth(int v) { width_ = v; }
    int Margin() const { return margin_; }
    void SetMargin(int v) { margin_ = v; }
    TGradientType GradientType() const { return type_; }
    void SetGradientType(TGradientType v) { type_ = v; }
    int GradientWidth() const { return gradient_width_; }
    void SetGradientWidth(int v) { gradient_width_ = v; }
    void Assign(const TGradientBar& source) override;

private:
    int width_ = 1;
    int margin_ = 2;
    TGradientType type_ = gtBoth;
    int gradient_width_ = 0;
};

// The rotated caption of the side bar.
class TBarCaption : public TStyledPart {
public:
    TBarCaption();
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& v) { caption_ = v; }
    fw::TFont& Font() { return font_; }
    void SetFont(const fw::TFont& font);
    fw::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(fw::TAlignment v) { alignment_ = v; }
    TDirection Direction() const { return direction_; }
    void SetDirection(TDirection v) { direction_ = v; }
    int Depth() const { return depth_; }
    void SetDepth(int v) { depth_ = v; }
    fw::TColor ShadowColor() const { return shadow_color_; }
    void SetShadowColor(fw::TColor v) { shadow_color_ = v; }
    int CaptionOffset() const { return caption_offset_; }
    void SetCaptionOffset(int v) { caption_offset_ = v; }
    fw::TColor RaisedColor() const { return raised_color_; }
    void SetRaisedColor(fw::TColor v) { raised_color_ = v; }
    virtual void Assign(const TBarCaption& source);

private:
    std::wstring caption_;
    fw::TFont font_;
    fw::TAlignment alignment_ = fw::TAlignment::taLeftJustify;
    TDirection direction_ = dDownToUp;
    int depth_ = 1;
    fw::TColor shadow_color_ = fw::clNone;
    int caption_offset_ = 6;
    fw::TColor raised_color_ = fw::clNone;
};

class TSideBar : public TBarCaption {
public:
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TSideBarVisibleIn VisibleIn() const { return visible_in_; }
    void SetVisibleIn(TSideBarVisibleIn v) { visible_in_ = v; }
    int Size() const { return size_; }
    void SetSize(int v) { size_ = v; }
    // Its own two backgrounds keep no menu link.
    TBackground& Image() { return image_; }
    void SetImage(const TBackground& source);
    TBackground& Background() { return background_; }
    void SetBackground(const TBackground& source);
    fw::TColor SplitterColor() const { return splitter_color_; }
    void SetSplitterColor(fw::TColor v) { splitter_color_ = v; }
    fw::TColor SplitterColorTo() const { return splitter_color_to_; }
    void SetSplitterColorTo(fw::TColor v) { splitter_color_to_ = v; }
    int SplitterWidth() const { return splitter_width_; }
    void SetSplitterWidth(int v) { splitter_width_ = v; }
    int SplitterMargin() const { return splitter_margin_; }
    void SetSplitterMargin(int v) { splitter_margin_ = v; }
    int SplitterGradientWidth() const { return splitter_gradient_width_; }
    void SetSplitterGradientWidth(int v) { splitter_gradient_width_ = v; }
    TGradientType SplitterGradientType() const { return splitter_gradient_type_; }
    void SetSplitterGradientType(TGradientType v) { splitter_gradient_type_ = v; }
    fw::TColor BorderColor() const { return border_color_; }
    void SetBorderColor(fw::TColor v) { border_color_ = v; }
    void Assign(const TBarCaption& source) override;

private:
    bool visible_ = false;
    TSideBarVisibleIn visible_in_ = viFirstVisible;
    int size_ = 24;
    TBackground image_;
    TBackground background_;
    fw::TColor splitter_color_ = fw::clGray;
    fw::TColor splitter_color_to_ = fw::clBlack;
    int splitter_width_ = 1;
    int splitter_margin_ = 0;
    int splitter_gradient_width_ = 0;
    TGradientType splitter_gradient_type_ = gtBoth;
    fw::TColor border_color_ = 0xA19D9D;
};

// The submenu arrow, the check mark and the radio dot. Glyphs are drawn
// transparently: only their black pixels show, in the text colour.
class TMenuGlyphs : public TStyledPart {
public:
    TMenuGlyphs();
    fw::TBitmap& SubMenu() { return sub_menu_; }
    fw::TBitmap& Check() { return check_; }
    fw::TBitmap& Radio() { return radio_; }
    // Copies the bitmap; null leaves the glyph empty (not drawn).
    void SetSubMenu(fw::TBitmap* bitmap);
    void SetCheck(fw::TBitmap* bitmap);
    void SetRadio(fw::TBitmap* bitmap);
    void Assign(TMenuGlyphs& source);

private:
    fw::TBitmap sub_menu_;
    fw::TBitmap check_;
    fw::TBitmap radio_;
};

// Loads a built-in glyph ("KELCHECKITEM", ...) into the bitmap: black on
// white; false for an unknown name.
bool LoadMenuGlyph(const std::wstring& name, fw::TBitmap& bitmap);
void CopyBitmap(fw::TBitmap& target, fw::TBitmap* source);

class TButtonAppearance {
public:
    TButtonAppearance();
    fw::TColor Color() const { return color_; }
    void SetColor(fw::TColor v) { Store(color_, v); }
    fw::TColor ColorTo() const { return color_to_; }
    void SetColorTo(fw::TColor v) { Store(color_to_, v); }
    fw::TColor HoverColor() const { return hover_color_; }
    void SetHoverColor(fw::TColor v) { Store(hover_color_, v); }
    fw::TColor HoverColorTo() const { return hover_color_to_; }
    void SetHoverColorTo(fw::TColor v) { Store(hover_color_to_, v); }
    fw::TColor DownColor() const { return down_color_; }
    void SetDownColor(fw::TColor v) { Store(down_color_, v); }
    fw::TColor DownColorTo() const { return down_color_to_; }
    void SetDownColorTo(fw::TColor v) { Store(down_color_to_, v); }
    TGradientDirection GradientDirection() const { return direction_; }
    void SetGradientDirection(TGradientDirection v);
    fw::TColor BorderColor() const { return border_color_; }
    void SetBorderColor(fw::TColor v) { Store(border_color_, v); }
    fw::TColor HoverBorderColor() const { return hover_border_color_; }
    void SetHoverBorderColor(fw::TColor v) { hover_border_color_ = v; }
    fw::TColor DownBorderColor() const { return down_border_color_; }
    void SetDownBorderColor(fw::TColor v) { down_border_color_ = v; }
    fw::TFont& CaptionFont() { return caption_font_; }
    void SetCaptionFont(const fw::TFont& font);
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);
    void Assign(const TButtonAppearance& source);
    std::function<void(TButtonAppearance*)> OnChange;

private:
    void Store(fw::TColor& field, fw::TColor value);
    void Changed();
    fw::TColor color_ = fw::clNone;
    fw::TColor color_to_ = fw::clNone;
    fw::TColor hover_color_ = 0xD2BDB6;
    fw::TColor hover_color_to_ = fw::clNone;
    fw::TColor down_color_ = 0xB59285;
    fw::TColor down_color_to_ = fw::clNone;
    TGradientDirection direction_ = gdVertical;
    fw::TColor border_color_ = fw::clNone;
    fw::TColor hover_border_color_ = 0x6A240A;
    fw::TColor down_border_color_ = 0x6A240A;
    fw::TFont caption_font_;
    bool use_system_font_ = true;
};

class TCustomKelMenuStyler : public fw::TComponent {
public:
    explicit TCustomKelMenuStyler(fw::TComponent* owner);
    ~TCustomKelMenuStyler() override;

    TBackground& Background() { return *background_; }
    void SetBackground(const TBackground& v);
    TIconBar& IconBar() { return *icon_bar_; }
    void SetIconBar(const TIconBar& v);
    TSelectedItem& SelectedItem() { return *selected_item_; }
    void SetSelectedItem(const TSelectedItem& v);
    TRootItem& RootItem() { return *root_item_; }
    void SetRootItem(const TRootItem& v);
    TMenuGlyphs& Glyphs() { return *glyphs_; }
    void SetGlyphs(TMenuGlyphs& v);
    TSeparator& Separator() { return *separator_; }
    void SetSeparator(const TSeparator& v);
    TSideBar& SideBar() { return *side_bar_; }
    void SetSideBar(const TSideBar& v);
    fw::TFont& Font() { return font_; }
    void SetFont(const fw::TFont& font);
    fw::TFont& NotesFont() { return notes_font_; }
    void SetNotesFont(const fw::TFont& font);
    bool UseSystemFont() const { return use_system_font_; }
    void SetUseSystemFont(bool value);
    TAntiAlias AntiAlias() const { return anti_alias_; }
    void SetAntiAlias(TAntiAlias value);
    fw::TColor MenuBorderColor() const { return menu_border_color_; }
    void SetMenuBorderColor(fw::TColor v) { menu_border_color_ = v; }
    TButtonAppearance& ButtonAppearance() { return *button_appearance_; }
    void SetButtonAppearance(const TButtonAppearance& v) { button_appearance_->Assign(v); }
    // The menu background picture rendered at the menu's size.
    fw::TBitmap& BackgroundCache() { return background_cache_; }

    // Adds the menu to those the styler notifies and links the parts to
    // it; none detaches every menu.
    void AttachMenu(fw::TComponent* menu);
    void DetachMenu(fw::TComponent* menu);
    // The menu attached last, or null.
    fw::TComponent* AttachedMenu() const { return menus_.empty() ? nullptr : menus_.back(); }
    const std::vector<fw::TComponent*>& AttachedMenus() const { return menus_; }
    // Tells every attached menu of a change; with `update` they rebuild
    // their items.
    void NotifyMenus(bool update) const;
    // Copies the parts, Font and UseSystemFont of another styler.
    void Assign(fw::TComponent& source);

protected:
    void Notification(fw::TComponent* component, fw::TOperation operation) override;

private:
    void Notify(bool update) const { NotifyMenus(update); }
    void LinkParts();
    std::unique_ptr<TSideBar> side_bar_;
    std::unique_ptr<TBackground> background_;
    std::unique_ptr<TIconBar> icon_bar_;
    std::unique_ptr<TSelectedItem> selected_item_;
    std::unique_ptr<TRootItem> root_item_;
    std::unique_ptr<TMenuGlyphs> glyphs_;
    std::unique_ptr<TSeparator> separator_;
    fw::TFont font_;
    bool use_system_font_ = true;
    fw::TColor menu_border_color_ = 0x7C7C94;
    fw::TBitmap background_cache_;
    fw::TFont notes_font_;
    std::unique_ptr<TButtonAppearance> button_appearance_;
    TAntiAlias anti_alias_ = aaNone;
    std::vector<fw::TComponent*> menus_;
};

class TKelMenuStyler : public TCustomKelMenuStyler {
public:
    using TCustomKelMenuStyler::TCustomKelMenuStyler;
};

}  // namespace kel::menus
