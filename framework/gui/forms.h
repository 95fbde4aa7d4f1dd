// TForm: a top-level window whose window class bears the form class's name
// (other programs find it by that name), with border style, stay-on-top, the
// form events and modal showing.
#pragma once

#include "framework/gui/controls.h"
#include "framework/gui/menus.h"

namespace fw {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TPosition { poDesigned, poScreenCenter, poMainFormCenter };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

class TForm : public TWinControl {
public:
    // `className` is the window class the form registers (e.g. L"TkynMainForm").
    TForm(TComponent* owner, std::wstring className);
    ~TForm() override;

    const std::wstring& ClassName() const { return class_name_; }

    TFormBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TFormBorderStyle style);
    TFormStyle FormStyle() const { return form_style_; }
    void SetFormStyle(TFormStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    // The menu bar; its shortcuts work wherever the focus is on the form.
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    bool KeyPreview() const { return key_preview_; }
    void SetKeyPreview(bool v) { key_preview_ = v; }
    void SetClientSize(int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;

    void SetVisible(bool visible) override;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void Close();
    // Frees the form once the messages now queued are handled.
    void Release();
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modal_result_; }
    void SetModalResult(TModalResult r) { modal_result_ = r; }
    bool Active() const;
    void BringToFront();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    std::function<void(TComponent* sender, TCloseAction& action)> OnClose;
    std::function<void(TComponent* sender, bool& canClose)> OnCloseQuery;
    TNotifyEvent OnPaint;

    // Called once by Application->CreateForm after construction.
    virtual void DoCreate();
    void BeforeDestruction() override;
    virtual bool CloseQuery();

    void KeyDown(WORD& key, TShiftState shift) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void Notification(TComponent* component, TOperation operation) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PaintWindow(HDC dc) override;
    virtual void DoShow();
    virtual void DoHide();

    TCanvas& Canvas() { return *canvas_; }

private:
    std::wstring class_name_;
    TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
    TFormStyle form_style_ = TFormStyle::fsNormal;
    TPosition position_ = TPosition::poDesigned;
    bool key_preview_ = false;
    TMainMenu* menu_ = nullptr;
    bool shown_once_ = false;
    bool destroy_fired_ = false;
    TModalResult modal_result_ = mrNone;
    bool modal_ = false;
    std::unique_ptr<TCanvas> canvas_;
};

// The form that `control` sits on, or null.
TForm* GetParentForm(TControl* control);

}  // namespace fw
