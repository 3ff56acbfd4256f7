// The viewer's main window: opens a sprite, plays its directions side by side, and leads to the
// save, export, scheme and palette commands.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <QImage>
#include <QMainWindow>

#include "kromby/palette/kromby_state.h"
#include "kromby/palette/main_view.h"
#include "kromby/ui/dialogs.h"

class QAction;
class QLabel;
class QStatusBar;
class QTimer;
class QToolBar;
class TAboutForm;
class TPalForm;

inline constexpr char kTutorialUrl[] = "https://example.org/kromby/tutorial.html";
inline constexpr char kBlogUrl[] = "https://blog.example.org/tovik/";

class TMainForm : public QMainWindow, public MainView {
public:
    // `arguments` are the command line's arguments after the program name.
    TMainForm(KrombyState& state, kui::Dialogs& dialogs, std::vector<std::string> arguments,
              QWidget* parent = nullptr);
    ~TMainForm() override;
    // The windows this one opens; they are created after it.
    void Attach(TPalForm* palForm, TAboutForm* aboutForm);

    void RedrawView() override;
    void EnablePaletteCommand() override;

    // Handlers, named after the window's components.
    void FormShow();
    void FormResize();
    void Timer1Timer();
    void O1Click();
    void ToolButton2Click() { O1Click(); }
    void WMDropFiles(const std::vector<std::string>& files);
    void N7Click();
    void N1Click();
    void P1Click();
    void ToolButton9Click() { P1Click(); }
    void X1Click();
    void S1Click();
    void N2Click();
    void ToolButton3Click() { N2Click(); }
    void GA1Click();
    void N1111Click();
    void N4Click();
    void N5Click();
    void Kromby201Click();
    void ToolButton13Click() { Kromby201Click(); }
    void T1Click();
    void Blog1Click();

    // Writes the sprite to `path`, asking first when a file is there.
    void SaveSprite(const std::string& path);

    // Where the view surface's top left lands, in the window's client coordinates (below the
    // menu bar): centred between the toolbar and the status bar.
    static QPoint PaintOrigin(int clientWidth, int clientHeight, int toolBarHeight, int statusBarHeight);

    QAction *O1, *S1, *N2, *GA1, *N1111, *N4, *N5, *N7, *X1, *N1, *P1, *T1, *Blog1, *Kromby201;
    QAction *ToolButton2, *ToolButton3, *ToolButton9, *ToolButton13;
    QToolBar* ToolBar1;
    QStatusBar* StatusBar1;
    std::array<QLabel*, 4> Panels{};
    QTimer* Timer1;

    // The nine controls that need a loaded sprite.
    std::vector<QAction*> LoadedStateControls() const;

    const QImage& ViewSurface() const { return viewSurface_; }
    int32_t CurrentFrame() const { return currentFrame_; }
    bool DarkBackground() const { return darkBackground_; }
    bool ExportNotice() const { return exportNotice_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class ViewWidget;

    void FormCreate();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    // The open sequence of all three entry points.
    void OpenSprite(const std::string& path);
    // Controls, status bar and timer follow the document, whether the open worked or not.
    void SyncWithDocument();
    void SetLoadedControls(bool enabled);
    void SetStatus(const QString& file, int directions, int frames);
    bool MayWrite(const std::string& path);
    void PaintView(QWidget& target);

    KrombyState& state_;
    kui::Dialogs& dialogs_;
    std::vector<std::string> arguments_;
    TPalForm* palForm_ = nullptr;
    TAboutForm* aboutForm_ = nullptr;
    ViewWidget* view_ = nullptr;

    QImage viewSurface_;
    int32_t currentFrame_ = -1;
    bool darkBackground_ = false;
    bool exportNotice_ = true;
};

// "文件" + path + "已存在" + CR + "是否覆盖？"
std::string OverwriteQuestion(const std::string& path);
