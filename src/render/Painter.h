// Inside the renderer: one drawing of one window. WindowRenderer.cpp walks
// the controls (visibility, layout, groups, grouplists, lists);
// ControlPainting.cpp draws each kind of control.
#pragma once

#include "render/Canvas.h"
#include "render/IdleConditions.h"
#include "render/WindowRenderer.h"

#include <optional>
#include <string>
#include <string_view>

namespace render {

// A list item's data, for the item layout's info labels and images.
struct ItemData {
    std::string label;
    std::string label2;
    std::string icon;
    std::string thumb;
};

class Painter {
public:
    Painter(const WindowSource& window, SkinAssets& assets, const RenderOptions& options, Rendering& out);
    void paint();

private:
    // WindowRenderer.cpp
    void controls(const Node& parent, const Box& box, int depth, const ItemData* item);
    void control(const Node& node, const Box& parent, int depth, const ItemData* item,
                 const std::optional<Box>& placed = std::nullopt);
    bool visible(const Node& node) const;
    Box layout(const Node& node, const Box& parent, const std::string& type, const ItemData* item);
    void groupList(const Node& node, const Box& box, int depth, const ItemData* item);
    void container(const Node& node, const Box& box, int depth, const std::string& type);
    void leave(const Node& node, std::string_view type, std::string why);
    std::string value(const Node& node, std::string_view element) const;

    // ControlPainting.cpp
    bool paintControl(const Node& node, const std::string& type, const Box& box, const ItemData* item);
    bool image(const Node& node, const Node* texture, const Box& box, std::string_view type, bool aspectFromNode,
               const ItemData* item);
    bool label(const Node& node, const Box& box, std::string_view type, const ItemData* item, bool focused);
    std::optional<std::string> labelText(const Node& node, std::string_view element, const ItemData* item,
                                         std::string& why) const;
    std::optional<std::string> expandInfo(std::string_view text, const ItemData* item, std::string& why) const;
    std::string infoValue(std::string_view info, const ItemData* item) const;
    std::optional<float> naturalWidth(const Node& node, const ItemData* item);
    std::uint32_t diffuseOf(const Node& node) const;

    const WindowSource& window_;
    SkinAssets& assets_;
    const RenderOptions& options_;
    Rendering& out_;
    Canvas canvas_;
    IdleState idle_;
    std::string focusId_;
    std::size_t controlsSeen_ = 0;
    bool overflowNoted_ = false;
};

bool IsTrue(std::string_view value);

}  // namespace render
