#include "skin/MainLayoutResult.h"

namespace nimbrel::skin {

MainLayoutResult MainLayoutResult::design() {
    // Picture sizes are those of the artwork (15 twips per pixel); positions are
    // where the designer put them for the 15750 x 9885 client area.
    MainLayoutResult r;
    r.up1 = {0, 0, 6960, 1395};
    r.up2 = {6960, 0, 8355, 1320};
    r.up3 = {15315, 0, 435, 1320};
    r.down1 = {0, 9000, 4185, 885};
    r.down2 = {4185, 9000, 11115, 885};
    r.down3 = {15300, 9000, 450, 885};
    r.hen1 = {0, 1295, 105, 7705};
    r.hen2 = {15645, 1220, 105, 7780};
    r.buttom = {0, 9785, 15530, 100};
    r.middle = {15495, 9630, 255, 255};
    r.Label5 = {0, 9630, 255, 255};

    r.Image8 = {TwipRect{14815, 40, 255, 285}, TwipRect{15070, 40, 255, 285},
                TwipRect{15325, 40, 255, 285}};
    r.Label1 = {TwipRect{600, 480, 855, 255}, TwipRect{2160, 480, 855, 255},
                TwipRect{3600, 480, 855, 255}, TwipRect{4920, 480, 1095, 255}};
    r.ontime = {TwipRect{480, 345, 1095, 615}, TwipRect{2040, 345, 1095, 615},
                TwipRect{3480, 345, 1095, 615}, TwipRect{4920, 345, 1095, 615}};
    r.Label2 = {TwipRect{240, 1030, 1215, 255}, TwipRect{1560, 1035, 1215, 255},
                TwipRect{2880, 1035, 855, 255}, TwipRect{3960, 1035, 975, 255}};
    r.Image2 = {1680, 495, 240, 270};
    r.Image5 = {TwipRect{450, 9340, 450, 450}, TwipRect{950, 9390, 330, 330},
                TwipRect{1730, 9390, 330, 330}, TwipRect{2110, 9390, 330, 330},
                TwipRect{2490, 9390, 330, 330}, TwipRect{2870, 9390, 330, 330}};
    r.jindu = {50, 9050, 0, 150};
    r.huakuai = {50, 9050, 270, 150};
    r.fugai = {50, 9050, 15600, 150};
    r.Label6 = {4320, 5040, 5055, 375};
    r.flash = {105, 1325, 15540, 7655};

    r.bflb = {155, 1395, 15440, 7505};
    r.zhss = {105, 1325, 15540, 7605};
    r.convertframe = {105, 1325, 15540, 7605};

    r.bflblist = {0, 0, 4215, 4020};
    r.Command18 = {4240, 480, 375, 1695};
    r.Command19 = {4240, 2400, 375, 1815};
    r.bflbflash = {6480, 0, 5535, 6375};
    r.huakuai2 = {0, 4320, 4575, 255};

    r.lsearch = {120, 600, 5775, 4380};
    r.flash2 = {5945, 0, 9645, 7605};
    r.yulanp = {6480, 360, 4575, 3495};
    r.huakuaione = {240, 5040, 5775, 255};

    r.convert = {0, 360, 7575, 960};
    r.Command5 = {120, 0, 2535, 375};
    r.huakuai3 = {0, 1320, 7455, 255};
    r.Picture1 = {0, 3480, 7455, 375};

    r.SW = 15750;
    r.SH = 9885;
    r.Wpx = 1050.0;
    r.Hpx = 659;
    return r;
}

} // namespace nimbrel::skin
