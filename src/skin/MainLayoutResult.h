#pragma once
#include "skin/TwipRect.h"
#include <array>

namespace nimbrel::skin {

// Every rectangle the main window's layout reads or places, in twips of the client
// area. Children of a side-tool container are in that container's coordinates.
// Member names are the element names used throughout the main window.
struct MainLayoutResult {
    // Skin frame.
    TwipRect up1, up2, up3;       // top bar: left part, stretched middle, right end
    TwipRect down1, down2, down3; // bottom bar: left part, stretched middle, right end
    TwipRect hen1, hen2;          // left and right borders (also resize handles)
    TwipRect buttom;              // bottom resize strip
    TwipRect middle;              // bottom-right resize corner
    TwipRect Label5;              // bottom-left resize corner

    // Controls on the skin.
    std::array<TwipRect, 3> Image8; // title buttons: minimise, maximise/restore, close
    std::array<TwipRect, 4> Label1; // side-tool tab captions
    std::array<TwipRect, 4> ontime; // tab backgrounds
    std::array<TwipRect, 4> Label2; // option strip
    TwipRect Image2;                // quick-play menu button
    std::array<TwipRect, 6> Image5; // transport buttons
    TwipRect jindu;                 // progress fill
    TwipRect huakuai;               // progress thumb
    TwipRect fugai;                 // click target over the progress track
    TwipRect Label6;                // status line
    TwipRect flash;                 // movie surface

    // Side-tool containers.
    TwipRect bflb;         // playlist panel
    TwipRect zhss;         // search panel
    TwipRect convertframe; // converter panel

    // Playlist panel children.
    TwipRect bflblist, Command18, Command19, bflbflash, huakuai2;
    // Search panel children.
    TwipRect lsearch, flash2, yulanp, huakuaione;
    // Converter panel children.
    TwipRect convert, Command5, huakuai3, Picture1;

    // Client size the rectangles were placed for, twips.
    int SW = 0;
    int SH = 0;
    // Client width and region height in pixels, recomputed on every run.
    double Wpx = 0.0;
    int Hpx = 0;

    // The main window as designed: client area 15750 x 9885 twips.
    static MainLayoutResult design();

    bool operator==(const MainLayoutResult&) const = default;
};

} // namespace nimbrel::skin
