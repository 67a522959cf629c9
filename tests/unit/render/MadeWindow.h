// A small skin in memory with one font (DejaVu Sans from the system's fonts),
// a few colours, strings, constants and textures, and the drawing of a
// window's text in it: what the renderer's tests draw with.
#pragma once

#include "../skin/MemorySkin.h"
#include "render/ExpandedSource.h"
#include "render/WindowRenderer.h"
#include "skin/ExpandedWindow.h"
#include "support/TestSupport.h"
#include "textures/PngCodec.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

inline const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A PNG of one colour, or of two halves (left, right) when `right` is given.
inline std::string solidPng(std::uint32_t w, std::uint32_t h, std::uint32_t argb, std::uint32_t right = 0) {
    textures::Image32 image;
    textures::allocate(image, w, h, textures::ChannelOrder::Bgra);
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            const std::uint32_t c = (right != 0 && x >= w / 2) ? right : argb;
            std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c >> 16);
            p[3] = static_cast<std::uint8_t>(c >> 24);
        }
    }
    std::vector<std::uint8_t> bytes;
    textures::encodePng(image, bytes);
    return std::string(bytes.begin(), bytes.end());
}

class MadeWindow {
public:
    MadeWindow() {
        skin_.put(L"C:\\skin\\720p\\includes.xml",
                  "<includes>\n<constant name=\"Gap\">20</constant>\n"
                  "<expression name=\"Playing\">Player.HasMedia</expression>\n</includes>\n");
        skin_.put(L"C:\\skin\\720p\\Font.xml",
                  "<fonts><fontset id=\"Default\">\n"
                  "<font><name>font13</name><filename>DejaVuSans.ttf</filename><size>20</size></font>\n"
                  "<font><name>big</name><filename>DejaVuSans.ttf</filename><size>120</size></font>\n"
                  "<font><name>broken</name><filename>Broken.ttf</filename><size>20</size></font>\n"
                  "<font><name>missing</name><filename>Missing.ttf</filename><size>20</size></font>\n"
                  "</fontset></fonts>\n");
        skin_.put(L"C:\\skin\\fonts\\DejaVuSans.ttf", testsupport::readFile(testsupport::widen(kSystemFont)));
        skin_.put(L"C:\\skin\\fonts\\Broken.ttf", std::string("\0\1\0\0 not really a font", 23));
        skin_.put(L"C:\\skin\\colors\\defaults.xml", "<colors><color name=\"red\">FFFF0000</color></colors>\n");
        skin_.put(L"C:\\skin\\language\\resource.language.en_gb\\strings.po",
                  "msgctxt \"#31000\"\nmsgid \"Hello\"\nmsgstr \"\"\n");
        skin_.put(L"C:\\skin\\media\\white.png", solidPng(4, 4, 0xFFFFFFFF));
        skin_.put(L"C:\\skin\\media\\halves.png", solidPng(2, 1, 0xFFFF0000, 0xFF0000FF));
        skin_.put(L"C:\\skin\\media\\damaged.png", "\x89PNG\r\n\x1a\n damaged");
        skin_.put(L"C:\\skin\\720p\\Home.xml", "<window/>");
        model_ = skin_.make(options());
        model_->refresh(L"C:\\skin\\720p");
        assets_ = std::make_unique<render::SkinAssets>(*model_, skin_.reader());
    }

    // The same through the model: the window file written, the model's
    // expanded window drawn.
    render::Rendering drawExpanded(const std::string& xml, const std::string& includes = "") {
        skin_.put(L"C:\\skin\\720p\\includes.xml", "<includes>\n<constant name=\"Gap\">20</constant>\n"
                  "<expression name=\"Playing\">Player.HasMedia</expression>\n" + includes + "</includes>\n");
        skin_.put(L"C:\\skin\\720p\\Home.xml", xml);
        model_->refresh(L"C:\\skin\\720p");
        // The model's definitions copied anew; decoded textures and fonts kept.
        assets_ = std::make_unique<render::SkinAssets>(*model_, skin_.reader(), assets_->cache());
        const skin::ExpandedWindow* expanded = model_->expandedWindow(L"C:\\skin\\720p\\Home.xml");
        EXPECT_NE(expanded, nullptr);
        if (!expanded) return {};
        render::RenderOptions o;
        o.skinWidth = 1280;
        o.skinHeight = 720;
        o.width = 320;
        o.height = 180;
        o.windowName = "Home";
        return render::RenderWindow(render::SourceOf(*expanded), *assets_, o);
    }

    // The window's text drawn at 1280x720 skin pixels into a picture of w x h.
    render::Rendering draw(const std::string& xml, int w = 320, int h = 180) {
        render::WindowSource source;
        source.files.push_back(L"C:\\skin\\720p\\Home.xml");
        std::string reason;
        EXPECT_TRUE(render::ReadWindowText(xml, 0, source.window, reason)) << reason;
        render::RenderOptions o;
        o.skinWidth = 1280;
        o.skinHeight = 720;
        o.width = w;
        o.height = h;
        o.windowName = "Home";
        return render::RenderWindow(source, *assets_, o);
    }

private:
    static skin::SkinModelOptions options() {
        skin::SkinModelOptions o;
        o.imageElements = {L"texture"};
        return o;
    }
    MemorySkin skin_;
    std::unique_ptr<skin::SkinModel> model_;
    std::unique_ptr<render::SkinAssets> assets_;
};

// The window text around some controls.
inline std::string windowOf(const std::string& controls, const std::string& head = "") {
    return "<window>" + head + "<defaultcontrol>20</defaultcontrol><controls>" + controls + "</controls></window>";
}
