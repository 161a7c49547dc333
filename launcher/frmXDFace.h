#pragma once
// The launcher window's face: where each control sits, in which font, and
// what it says in either script. Only data: frmXD lays out and captions by it.
#include "WindowUnits.h"
#include "frmXD.h"

namespace launcher::xdface {

using W = frmXD;
using platform::control;
using platform::Property;

// What the script options switch, in this order.
inline constexpr platform::CaptionRow<W> kCaptions[] = {
    {platform::itself<W>, "Lumeno录音机", "Lumeno錄音機"},
    {control<&W::fralanguage>, "选择语言", "選擇語言"},
    {control<&W::fraFont>, "字体大小", "字體大小"},
    {control<&W::optxiao>, "小字体", "小字體"},
    {control<&W::optzhong>, "标准字体", "標準字體"},
    {control<&W::Option2>, "大字体", "大字體"},
    {control<&W::cmdabout>, "关于我们", "關於我們"},
    {control<&W::lblZm>, "Quorvel", "Quorvel"},
    {control<&W::optxiao>, "宋体小三号粗体", "宋體小三號粗體", Property::ToolTip},
    {control<&W::optzhong>, "宋体三号粗体", "宋體三號粗體", Property::ToolTip},
    {control<&W::Option2>, "宋体小二号粗体", "宋體小二號粗體", Property::ToolTip},
    {control<&W::cmdabout>, "关于Tessel软件", "關於Tessel軟件", Property::ToolTip},
    {control<&W::cmdFDJ>, "使用放大镜查看软件", "使用放大鏡查看軟件", Property::ToolTip},
    {control<&W::lblZm>, "有录音问题就上Quorvel", "有錄音問題就上Quorvel", Property::ToolTip},
    {control<&W::Command2>, "点击进入下一步", "點擊進入下一步", Property::ToolTip},
    {control<&W::lblMini>, "迷你首页", "迷你首頁"},
    {control<&W::lblMini>, "开启迷你首页收看新闻等", "開啟迷你首頁收看新聞等", Property::ToolTip},
};

// Page two, set on each pass to it.
inline constexpr platform::CaptionRow<W> kPageTwoCaptions[] = {
    {control<&W::Frame3>, "选择录制方式", "選擇錄製方式"},
    {control<&W::optyyts>, "根据语音提示进行录音", "根據語音提示進行錄音"},
    {control<&W::optyysb>, "根据语音识别进行录音", "根據語音識別進行錄音"},
    {control<&W::optpt>, "普通录音模式", "普通錄音模式"},
};

// The window's own face: every control gets its font explicitly, or the
// window's style sheet would let buttons fall back to the application font.
inline constexpr platform::Font kWindowFont{15.75, true};

inline constexpr platform::LayoutRow<W> kPlaces[] = {
    {control<&W::PicONE>, 0, 0, 8415, 2415, kWindowFont},
    {control<&W::lblZm>, 6600, 240, 2055, 375, kWindowFont},
    {control<&W::lblMini>, 6960, 720, 1335, 375, kWindowFont},
    {control<&W::Frame1>, 120, 2400, 8295, 5055, kWindowFont},
    {control<&W::cmdFDJ>, 6360, 120, 1815, 705, kWindowFont},
    {control<&W::fralanguage>, 0, 720, 8175, 1455, {21.75, true}},
    {control<&W::Option1>, 1800, 600, 2295, 615, {18, true}},
    {control<&W::optFt>, 5160, 600, 2415, 615, {18, true}},
    {control<&W::fraFont>, 0, 2400, 8175, 1575, {21.75, true}},
    {control<&W::optxiao>, 960, 720, 1575, 615, {15, true}},
    {control<&W::optzhong>, 3240, 720, 1935, 615, {15.75, true}},
    {control<&W::Option2>, 5880, 720, 1695, 615, {18, true}},
    {control<&W::cmdabout>, 120, 4200, 2055, 855, kWindowFont},
    {control<&W::Command2>, 5880, 4200, 2175, 855, kWindowFont},
    {control<&W::Frame2>, 120, 2520, 8175, 4935, kWindowFont},
    {control<&W::Frame3>, 120, 360, 7935, 3495, kWindowFont},
    {control<&W::optyyts>, 1560, 600, 5415, 615, kWindowFont},
    {control<&W::optyysb>, 1560, 1560, 5535, 615, kWindowFont},
    {control<&W::optpt>, 1560, 2520, 5535, 615, kWindowFont},
    {control<&W::Command1>, 3720, 3960, 2055, 855, kWindowFont},
    {control<&W::Command3>, 6000, 3960, 1935, 855, kWindowFont},
    {control<&W::lblver>, 120, 4920, 3495, 495, kWindowFont},
};

} // namespace launcher::xdface
