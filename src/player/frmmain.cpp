#include "player/frmmain.h"
#include "help/HelpWindows.h"
#include "imaging/window/EditorWindows.h"
#include "imaging/window/ScreenCaptures.h"
#include "library/ConverterPanel.h"
#include "library/PlaylistStore.h"
#include "library/SideList.h"
#include "movie/MoviePlayer.h"
#include "platform/AlsaMixer.h"
#include "platform/KeyPressLatch.h"
#include "platform/MessageBoxes.h"
#include "platform/clsVolume.h"
#include "player/ClipboardWatch.h"
#include "player/CommandTable.h"
#include "player/KeyFocus.h"
#include "player/MovieHook.h"
#include "player/VolumeControl.h"
#include "player/WindowOptions.h"
#include "services/StripToggle.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "player/FlashSurface.h"
#include "player/MainMenus.h"
#include "player/OpeningController.h"
#include "player/PanelCommands.h"
#include "player/PlaylistPanel.h"
#include "player/QuickPlayList.h"
#include "player/QuickPlayMenu.h"
#include "player/SearchPanel.h"
#include "player/SearchResultsPanel.h"
#include "player/SettingsDamageMessage.h"
#include "player/SettingsRestore.h"
#include "player/StatusLineText.h"
#include "player/TransportController.h"
#include "skin/MainLayout.h"
#include "skin/SkinElements.h"
#include "skin/SkinPiece.h"
#include "skin/WindowChrome.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

namespace nimbrel::player {

using platform::Twips;
using skin::WindowChrome;

namespace {
// The side tools sit on the dark movie area until their contents arrive.
void darkBackground(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, QColor(0x10, 0x18, 0x24));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
} // namespace

frmmain::frmmain(platform::SettingsStore& store, platform::DialogBackend& dialogs,
                 platform::MessageBoxes& boxes, platform::MixerDevice* mixer, QWidget* parent)
    : QWidget(parent), settings_(store), dialog_(dialogs, this), boxes_(boxes) {
    boxes_.setOwner(this);
    if (!mixer) {
        ownMixer_ = std::make_unique<platform::AlsaMixer>();
        mixer = ownMixer_.get();
    }
    mixer_ = std::make_unique<platform::clsVolume>(*mixer, boxes_);
    setWindowTitle(caption());
    createControls();
    // Resizing stops where the skin's fixed pieces would no longer fit.
    const skin::MainLayout::Size least = skin::MainLayout::minimumClientSize();
    setMinimumSize(Twips::toPixels(least.width, Twips::dpiX(this)), Twips::toPixels(least.height, Twips::dpiY(this)));
    setGeometryTwips(DesignLeft, DesignTop, DesignWidth, DesignHeight);
    Form_Load();
    // A window not yet shown gets no resize event: lay it out for its size now.
    Form_Resize();

    Timer1.setInterval(1000);
    Timer2.setInterval(11);
    Timer3.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &frmmain::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmmain::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &frmmain::Timer3_Timer);
    Timer1.start();
    Timer2.start();
    Timer3.start();
}

frmmain::~frmmain() {
    // A window torn down without a close still keeps its geometry.
    if (!unloaded_)
        Form_Unload();
}

QString frmmain::caption() { return platform::MessageBoxes::applicationTitle(); }

void frmmain::createControls() {
    menus = new MainMenus(this);
    menuBar = new QMenuBar(this);
    menuBar->setObjectName("menuBar");
    menus->addTo(menuBar);
    menus->setShownInBar(false);
    menuBar->hide();

    client = new QWidget(this);
    client->setObjectName("client");
    // Seams between the skin's pieces show the window's own colour.
    darkBackground(client);
    skin = new skin::SkinElements(client);

    flash = new FlashSurface(client);
    flash->setObjectName("flash");
    bflb = new QWidget(client);
    bflb->setObjectName("bflb");
    darkBackground(bflb);
    playlist = new PlaylistPanel(bflb, {dialog_, boxes_, settings_.store()}, this);
    bflblist = playlist->bflblist;
    bflbflash = playlist->bflbflash;
    zhss = new QWidget(client);
    zhss->setObjectName("zhss");
    darkBackground(zhss);
    searchResults = new SearchResultsPanel(
        zhss,
        {dialog_, boxes_, [this] { return settings_.read(AppSettings::Key::filepath); },
         [this](const QString& folder) { settings_.write(AppSettings::Key::filepath, folder); },
         [this](const QImage& picture) { editors->openWith(picture); }},
        this);
    search = new SearchPanel(zhss, boxes_, *searchResults, this);
    flash2 = searchResults->flash2;
    convertframe = new QWidget(client);
    convertframe->setObjectName("convertframe");
    darkBackground(convertframe);
    converter = new library::ConverterPanel(
        convertframe,
        {dialog_, boxes_, [this] { return settings_.read(AppSettings::Key::filepath2); },
         [this](const QString& folder) { settings_.write(AppSettings::Key::filepath2, folder); }},
        this);
    bflb->hide();
    convertframe->hide();

    skin::SkinElements::MovieArea area;
    area.flash = flash;
    area.bflb = bflb;
    area.zhss = zhss;
    area.convertframe = convertframe;
    area.bflblist = bflblist;
    area.bflbflash = bflbflash;
    area.Command18 = playlist->Command18;
    area.Command19 = playlist->Command19;
    area.huakuai2 = playlist->huakuai2;
    area.lsearch = searchResults->lsearch;
    area.flash2 = flash2;
    area.yulanp = searchResults->yulanp;
    area.huakuaione = searchResults->huakuaione;
    area.convert = converter->convert;
    area.Command5 = converter->Command5;
    area.huakuai3 = converter->huakuai3;
    area.Picture1 = converter->Picture1;
    skin->attach(area);
    connect(converter->huakuai3, &QScrollBar::valueChanged, skin, &skin::SkinElements::huakuai3Changed);
    connect(playlist->huakuai2, &QScrollBar::valueChanged, skin, &skin::SkinElements::huakuai2Changed);
    connect(searchResults->huakuaione, &QScrollBar::valueChanged, skin, &skin::SkinElements::huakuaioneChanged);
    for (int i = 0; i < 4; ++i)
        Label2[i] = skin->Label2[i];

    mnuszck = menus->mnuszck;
    mnuchang = menus->mnuchang;
    mnuchanggao = menus->mnuchanggao;

    quickPlay = new QuickPlayList({}, this);
    quickPlayMenu = new QuickPlayMenu(*quickPlay, *menus->MNUBFFILE, this);
    transport = new TransportController(*this);
    opening = new OpeningController(*this);
    helpWindows = new help::HelpWindows(this);
    editors = new imaging::EditorWindows({dialog_, boxes_, [this] { setWindowState(windowState() | Qt::WindowMinimized); }},
                                         this);
    captures = new imaging::ScreenCaptures(*editors, nullptr, this);
    commands = new CommandTable(this);
    options = new WindowOptions(*this);
    volume = new VolumeControl(*mixer_, this);
    keys = new platform::KeyPressLatch(this);
    clipboard_ = new ClipboardWatch(*this);
    movieHook = new MovieHook({[this] { skin->resetHighlights(); }, [this] { enlargeOrRestoreMovie(); },
                               [this](QPoint at) { showControlMenu(at); }},
                              this);

    connectSkin();
    connectMenus();
}

void frmmain::connectSkin() {
    using skin::SkinElements;
    connect(skin, &SkinElements::moveWindowRequested, this, &frmmain::moveWindow);
    connect(skin, &SkinElements::controlMenuRequested, this, &frmmain::showControlMenu);
    connect(skin, &SkinElements::maximiseRestoreRequested, this,
            [this] { setWindowState(WindowChrome::minandmax(windowState())); });
    connect(skin, &SkinElements::titleButtonPressed, this, [this](int i) {
        if (i == 0)
            setWindowState(windowState() | Qt::WindowMinimized);
        else if (i == 1)
            setWindowState(WindowChrome::minandmax(windowState()));
        else if (i == 2)
            close();
    });
    connect(skin, &SkinElements::transportClicked, this, [this](int i) {
        if (const CommandTable::Definition* d = CommandTable::forButton(i))
            commands->run(d->id);
    });
    connect(skin, &SkinElements::quickMenuClicked, this,
            [this](QPoint at) { menus->MNUBFFILE->popup(at); });
    connect(skin, &SkinElements::tabPressed, this, &frmmain::selectPanel);
    connect(skin, &SkinElements::stripClicked, this, &frmmain::Label2_Click);
    connect(skin, &SkinElements::progressClicked, this, [this](QPoint at) {
        // Whatever the seek finds, the click ends by playing.
        if (const auto frame = skin->seekFrame(at, flash->TotalFrames()))
            flash->setFrameNum(*frame);
        flash->Play();
    });
    // The pointer, the double-click and the right button over the movie go through the movie hook.
}

void frmmain::bindCommands() {
    CommandTable& c = *commands;
    // Transport buttons, their menu items and their keys all end in the button handler.
    for (const CommandTable::Definition& d : CommandTable::definitions()) {
        if (d.button < 0)
            continue;
        const int i = d.button;
        c.bind(d.id, [this, i] { Image5_Click(i); }, [this, i] { return skin->Image5[i]->isEnabled(); });
    }
    c.bind(Command::ZoomIn, [this] { transport->MNUfd_Click(); });
    c.bind(Command::ZoomOut, [this] { transport->MNUSx_Click(); });
    c.bind(Command::OpenFiles, [this] { opening->mnuopen_Click(); });
    c.bind(Command::OpenAddress, [this] { opening->MNUOPENURL_Click(); });
    c.bind(Command::VolumeUp, [this] { volume->MNUPAGEU_Click(); });
    c.bind(Command::VolumeDown, [this] { volume->MNUPAGED_Click(); });
    c.bind(Command::Capture, [this] {
        if (options->prepareCapture())
            captures->startSoon();
    });
    connect(captures, &imaging::ScreenCaptures::ended, options, &WindowOptions::captureEnded);
    c.bind(Command::SaveMovie, [this] { transport->MNUDQ_Click(); });
    c.bind(Command::Close, [this] { close(); });
    c.bind(Command::Topmost, [this] { options->MNUCKZD_Click(); });
    c.bind(Command::DeleteLines, [this] { deleteVisibleListLines(); });
    c.bind(Command::AutoPlay, [this] { options->Label2_Click(0); });
    c.bind(Command::ClipboardWatch, [this] { options->Label2_Click(1); });
    c.bind(Command::ImageEditor, [this] { editors->openFromMenu(); });
    for (const CommandTable::Definition& d : CommandTable::definitions())
        if (QAction* item = menus->action(d.id))
            c.connectMenuItem(d.id, item);
    connect(menus->mnukz, &QMenu::aboutToShow, commands, &CommandTable::refreshMenus);
    PanelCommands::bind(*this);
}

void frmmain::connectMovieVolume() {
    // The movies' own sound follows the level the volume commands write.
    connect(volume, &VolumeControl::levelWritten, this, [this](int level) {
        const double share = double(level) / VolumeControl::kMaxLevel;
        for (FlashSurface* surface : {flash, bflbflash, flash2})
            if (surface) surface->player().setSoundVolume(share);
    });
}

void frmmain::connectMenus() {
    const MainMenus& m = *menus;
    bindCommands();
    connectMovieVolume();
    connect(m.MNUOPENWEB, &QAction::triggered, opening, &OpeningController::MNUOPENWEB_Click);
    for (int i = 0; i < 9; ++i)
        connect(m.MNUBF[i], &QAction::triggered, this, [this, i] { options->tmdsz(WindowOptions::alphaForItem(i)); });
    connect(m.munbtm2, &QAction::triggered, options, &WindowOptions::munbtm2_Click);
    connect(m.MNUsy, &QAction::triggered, this, &frmmain::MNUsy_Click);
    connect(m.MNURJ, &QAction::triggered, this, &frmmain::MNURJ_Click);
    connect(m.MNUCXDQ, &QAction::triggered, this, &frmmain::MNUCXDQ_Click);
    connect(quickPlayMenu, &QuickPlayMenu::entryClicked, this, &frmmain::mnuwenjian_Click);
    using Item = skin::FitMode::Item;
    connect(m.mnuszck, &QAction::triggered, this, [this] { chooseFitMode(Item::mnuszck); });
    connect(m.mnuchang, &QAction::triggered, this, [this] { chooseFitMode(Item::mnuchang); });
    connect(m.mnuchanggao, &QAction::triggered, this, [this] { chooseFitMode(Item::mnuchanggao); });
}

void frmmain::Form_Load() {
    // The resize mode, the menu-bar counter and the current panel start at 0 in the skin.
    // A missing mixer is told once the window is up: a box before any window
    // would hold up the start with nothing of the player on the screen.
    mixer_->openQuietly();
    QTimer::singleShot(0, this, [this] { mixer_->tellIfUnusable(); });
    // The search panel starts on movie files; its options were preset when it was made.
    // Tab 0 already shows its pressed picture: the skin starts on the movie panel.
    flash->setMenu(false);
    state_.lastFrameNum = 0;
    movieHook->install(flash);
    state_.normalLabelColour = QApplication::palette().color(QPalette::ButtonText);
    state_.highlightLabelColour = QColor(0xFF, 0xFF, 0xFF);
    skin->setLabelColours(state_.normalLabelColour, state_.highlightLabelColour);
    regjc();
    // Settings lost to a damaged file are told once; the store has rewritten the file.
    if (const QString lost = SettingsDamageMessage::text(settings_.store().damage()); !lost.isEmpty())
        boxes_.message(lost, QString(), platform::MessageBoxes::Icon::Exclamation);
    zhss->hide();
    duqu();
    // The normal transport and title-button pictures (Image7, Image10) were
    // remembered by the skin when it created the buttons.
    ycct();
    state_.windowActive = true;
}

void frmmain::regjc() {
    mnuszck->setChecked(false);
    mnuchang->setChecked(false);
    mnuchanggao->setChecked(false);

    const SettingsRestore::Result r = SettingsRestore::regjc(settings_);

    if (r.left || r.top || r.width || r.height) {
        setGeometryTwips(r.left.value_or(twipsLeft()), r.top.value_or(twipsTop()),
                         r.width.value_or(twipsWidth()), r.height.value_or(twipsHeight()));
        // A place stored for a screen that is gone would hide the window: keep
        // the stored size but come back at the design position.
        if (!onSomeScreen())
            setGeometryTwips(DesignLeft, DesignTop, twipsWidth(), twipsHeight());
    }

    if (r.scaleMode) {
        flash->setScaleMode(*r.scaleMode);
        QAction* items[3] = {mnuszck, mnuchang, mnuchanggao};
        items[*r.scaleMode]->setChecked(true);
    }

    if (r.clipboardWatch) {
        state_.clipboardWatch = *r.clipboardWatch;
        const QString caption = services::StripToggle::caption(*r.clipboardWatch, services::StripToggle::clipboardWatch());
        Label2[1]->setText(caption);
        menus->MNUNCJK->setText(caption);
    }

    if (r.alpha) {
        state_.alpha = *r.alpha;
        state_.layered = true;
        options->applyOpacity();
    }

    if (r.autoPlay) {
        state_.autoPlay = *r.autoPlay;
        const QString caption = services::StripToggle::caption(*r.autoPlay, services::StripToggle::autoPlay());
        Label2[0]->setText(caption);
        menus->MNUZDBF->setText(caption);
    }
}

void frmmain::ycct() {
    // Done before the window is first shown, so it never flashes a frame.
    setWindowFlags(WindowChrome::ycct(windowFlags()));
}

void frmmain::duqu() {
    bflblist->clear();
    quickPlay->reload(library::PlaylistStore(settings_.store()).read());
}

void frmmain::MNUCXDQ_Click() { duqu(); }

void frmmain::mnuwenjian_Click(int k) { transport->applyStep(quickPlay->play(k)); }

void frmmain::Image5_Click(int index) { transport->Image5_Click(index); }

void frmmain::chooseFitMode(skin::FitMode::Item item) {
    const skin::FitMode::Choice c = skin::FitMode::choose(item);
    flash->setScaleMode(c.scaleMode);
    settings_.write(AppSettings::Key::bfms, c.stored);
    ms(c.checkIndex);
}

void frmmain::ms(int n) {
    if (const auto marks = skin::FitMode::ms(n)) {
        mnuszck->setChecked((*marks)[0]);
        mnuchang->setChecked((*marks)[1]);
        mnuchanggao->setChecked((*marks)[2]);
    }
}

void frmmain::selectPanel(int n) {
    if (skin->selectPanel(n)) {
        bflbflash->Stop();
        flash2->Stop();
    }
}

void frmmain::showMovieView() {
    flash2->Stop();
    flash2->setMovie(QString());
    bflbflash->Stop();
    bflbflash->setMovie(QString());
    skin->selectPanel(0);
    flash->show();
    for (QLabel* l : Label2)
        l->show();
    bflb->hide();
    convertframe->hide();
    zhss->hide();
}

void frmmain::showControlMenu(QPoint globalPos) { menus->mnukz->popup(globalPos); }

void frmmain::Label2_Click(int index) { options->Label2_Click(index); }

void frmmain::openAtStart(const QString& pathOrUrl) {
    if (pathOrUrl.isEmpty())
        return;
    flash->setMovie(pathOrUrl);
    flash->Play();
}

void frmmain::enlargeOrRestoreMovie() {
    if (isMaximized()) {
        movieFillsWindow_ = false;
        setWindowState(windowState() & ~Qt::WindowMaximized);
        Form_Resize();
        return;
    }
    if (isMinimized())
        return;
    showMenuBar(skin::MenuBarAutoShow::Action::Hide);
    menus->setShownInBar(false);
    movieFillsWindow_ = true;
    setWindowState(windowState() | Qt::WindowMaximized);
    Form_Resize();
}

void frmmain::deleteVisibleListLines() {
    if (currentPanel() == 2) {
        searchResults->MNUSDEL_Click();
        return;
    }
    library::SideList::deleteSelectedInFirstVisible({bflblist, converter->convert});
}

void frmmain::MNUsy_Click() { helpWindows->showHelp(); }

void frmmain::MNURJ_Click() { helpWindows->showAbout(); }

int frmmain::currentPanel() const { return skin->currentPanel(); }
int frmmain::resizeMode() const { return static_cast<int>(skin->resizeMode()); }
int frmmain::menuBarCounter() const { return skin->chrome().menuBarCounter(); }
bool frmmain::menuBarShowing() const { return menuBarShowing_; }

void frmmain::Form_Unload() {
    unloaded_ = true;
    settings_.write(AppSettings::Key::mleft, AppSettings::twipsText(twipsLeft()));
    settings_.write(AppSettings::Key::mtop, AppSettings::twipsText(twipsTop()));
    settings_.write(AppSettings::Key::mwidth, AppSettings::twipsText(twipsWidth()));
    settings_.write(AppSettings::Key::mheight, AppSettings::twipsText(twipsHeight()));
    movieHook->remove();
    captures->unload();
    editors->unload();
    helpWindows->unloadAll();
    emit unloaded();
}

void frmmain::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    Timer2.stop();
    Timer3.stop();
    if (!unloaded_)
        Form_Unload();
    event->accept();
}

void frmmain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmmain::Form_Resize() {
    // The menu bar, while it shows, takes the top of the window and the skin moves down.
    const int barHeight = menuBarShowing_ ? menuBar->sizeHint().height() : 0;
    menuBar->setGeometry(0, 0, width(), barHeight);
    client->setGeometry(0, barHeight, width(), qMax(0, height() - barHeight));
    skin->relayout(menuBarShowing_);
    // The movie over the whole skin lasts while the window stays maximised.
    if (movieFillsWindow_ && !isMaximized())
        movieFillsWindow_ = false;
    if (movieFillsWindow_) {
        flash->setGeometry(client->rect());
        flash->raise();
    }
}

void frmmain::moveWindow() {
    if (QWindow* handle = windowHandle(); handle && handle->startSystemMove())
        return;
    if (isMaximized())
        return;
    // No window manager move loop: follow the pointer until the button comes up,
    // keeping the pressed point under it (the move starts only once the pointer
    // has left the drag distance).
    manualMove_ = true;
    manualMoveOffset_ = skin->movePressPosition() - pos();
    move(QCursor::pos() - manualMoveOffset_);
    grabMouse(Qt::SizeAllCursor);
}

void frmmain::mouseMoveEvent(QMouseEvent* event) {
    if (manualMove_) {
        move(event->globalPosition().toPoint() - manualMoveOffset_);
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void frmmain::mouseReleaseEvent(QMouseEvent* event) {
    if (manualMove_) {
        manualMove_ = false;
        releaseMouse();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void frmmain::Timer1_Timer() {
    const int frame = flash->FrameNum();
    const int total = flash->TotalFrames();
    const QString error = flash->LoadError();
    skin->Label6->setText(error.isEmpty() ? StatusLineText::forMovie(frame, total, flash->Movie())
                                          : StatusLineText::unplayable(error));
    skin->jindutiao(frame, total);
}

void frmmain::Timer2_Timer() { keyTick(WindowChrome::edactive(QApplication::activeWindow())); }

void frmmain::keyTick(bool oursInFront) {
    state_.windowActive = oursInFront;
    if (!state_.windowActive) {
        // Keys typed into another program are not ours to serve later.
        keys->clear();
        return;
    }
    const auto due = CommandTable::dueCommands(
        [this](const CommandTable::KeyStroke& k) { return keys->takePress(k.qtKey, k.keypadOnly); },
        [this](const CommandTable::KeyStroke& k) {
            const QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : focusWidget();
            return KeyFocus::holdsKey(focus, flash, k.qtKey, k.keypadOnly);
        });
    QPointer<frmmain> self(this);
    for (Command c : due) {
        commands->run(c);
        // A command may close the window, or run a dialog during which it closed.
        if (!self || unloaded_)
            return;
    }
    // While a dialog opened by a key was up this tick could not run again, so
    // what was typed into it is still latched: it was the dialog's, not ours.
    if (!due.empty())
        keys->clear();
}

void frmmain::Timer3_Timer() {
    if (!state_.windowActive)
        return;
    chromeTick(QCursor::pos());
    QPointer<frmmain> self(this);
    if (state_.clipboardWatch)
        clipboard_->tick();
    if (!self || unloaded_)
        return;
    transport->followMovie();
    options->restoreAfterCapture();
}

void frmmain::chromeTick(QPoint cursorGlobal) {
    auto action = skin->tickChrome(state_.windowActive, cursorGlobal);
    // A menu the user opened stays until it is closed; the bar goes a round later.
    if (action == skin::MenuBarAutoShow::Action::Hide && QApplication::activePopupWidget())
        action = skin::MenuBarAutoShow::Action::None;
    showMenuBar(action);
    // The bar never stays over a maximised window.
    if (isMaximized() && menuBarShowing_)
        showMenuBar(skin::MenuBarAutoShow::Action::Hide);
}

void frmmain::showMenuBar(skin::MenuBarAutoShow::Action action) {
    using Action = skin::MenuBarAutoShow::Action;
    if (action == Action::None)
        return;
    const bool show = action == Action::Show;
    if (show == menuBarShowing_)
        return;
    menuBarShowing_ = show;
    menus->setShownInBar(show);
    menuBar->setVisible(show);
    Form_Resize();
}

// Geometry is the window's normal place, so closing it minimised or maximised
// does not store an off-screen or full-screen position.
double frmmain::twipsLeft() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().x() : pos().x();
    return Twips::fromPixels(px, Twips::dpiX(this));
}
double frmmain::twipsTop() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().y() : pos().y();
    return Twips::fromPixels(px, Twips::dpiY(this));
}
double frmmain::twipsWidth() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().width() : width();
    return Twips::fromPixels(px, Twips::dpiX(this));
}
double frmmain::twipsHeight() const {
    const int px = (isMinimized() || isMaximized()) ? normalGeometry().height() : height();
    return Twips::fromPixels(px, Twips::dpiY(this));
}

bool frmmain::onSomeScreen() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return true;
    const QRect placed(pos(), size());
    for (const QScreen* s : screens) {
        if (s->virtualGeometry().intersects(placed))
            return true;
    }
    return false;
}

void frmmain::setGeometryTwips(double left, double top, double width, double height) {
    const double dx = Twips::dpiX(this);
    const double dy = Twips::dpiY(this);
    move(Twips::toPixels(left, dx), Twips::toPixels(top, dy));
    resize(qMax(1, Twips::toPixels(width, dx)), qMax(1, Twips::toPixels(height, dy)));
}

} // namespace nimbrel::player
