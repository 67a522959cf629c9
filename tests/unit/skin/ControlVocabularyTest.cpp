#include "skin/ControlVocabulary.h"

#include <gtest/gtest.h>

#include <string>

using namespace skin::vocab;

namespace {

TEST(ControlVocabularyTest, FindsTypesAndRemovedTypesInAnyLetterCase) {
    ASSERT_EQ(controlTypes().size(), 34u);
    const ControlType* group = findType("GroupList");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->name, "grouplist");
    EXPECT_TRUE(group->focusable);
    EXPECT_TRUE(group->container);
    EXPECT_EQ(findType("checkmark"), nullptr);
    EXPECT_EQ(findType(""), nullptr);
    const RemovedType* removed = findRemovedType("CheckMark");
    ASSERT_NE(removed, nullptr);
    EXPECT_NE(removed->replacement.find("radiobutton"), std::string_view::npos);
    EXPECT_EQ(findRemovedType("label"), nullptr);
}

TEST(ControlVocabularyTest, FindsAnElementByWhereTheTypeGetsIt) {
    struct Case {
        const char* type;
        const char* element;
        bool found;
        ElementOrigin origin;
        ValueKind kind;
    };
    const Case cases[] = {
        {"label", "aligny", true, ElementOrigin::Own, ValueKind::Enum},
        {"button", "OnUp", true, ElementOrigin::Focusable, ValueKind::Navigation},
        {"label", "onup", false, ElementOrigin::Own, ValueKind::Navigation},  // a label takes no focus
        {"image", "LEFT", true, ElementOrigin::Common, ValueKind::Position},
        {"image", "posx", true, ElementOrigin::Common, ValueKind::Position},   // a legacy alias
        {"image", "align", false, ElementOrigin::Own, ValueKind::Enum},
        {"list", "itemlayout", true, ElementOrigin::Own, ValueKind::Container},
    };
    for (const Case& c : cases) {
        const ControlType* type = findType(c.type);
        ASSERT_NE(type, nullptr) << c.type;
        const ElementMatch m = findElement(*type, c.element);
        ASSERT_EQ(static_cast<bool>(m), c.found) << c.type << " " << c.element;
        if (!m) continue;
        EXPECT_EQ(m.origin, c.origin) << c.type << " " << c.element;
        EXPECT_EQ(m.element->kind, c.kind) << c.type << " " << c.element;
    }
    const ElementMatch posx = findElement(*findType("label"), "posx");
    EXPECT_TRUE(posx.element->has(Legacy));
    EXPECT_TRUE(findElement(*findType("button"), "invalidcolor").element->has(Ignored));
}

TEST(ControlVocabularyTest, AliasesEnumerationsAndAnimations) {
    EXPECT_EQ(modernNameOf("PosY"), "top");
    EXPECT_EQ(modernNameOf("top"), "");
    EXPECT_EQ(legacyNameOf("textureradioon"), "textureradiofocus");

    const Element* aligny = findElement(*findType("label"), "aligny").element;
    ASSERT_NE(aligny->enumeration, nullptr);
    EXPECT_EQ(aligny->enumeration, findEnumeration("aligny"));
    EXPECT_TRUE(enumerationHolds(*aligny->enumeration, "Center"));
    EXPECT_FALSE(enumerationHolds(*aligny->enumeration, "bottom"));
    EXPECT_FALSE(enumerationHolds(*aligny->enumeration, ""));

    EXPECT_TRUE(isAnimationTrigger("windowopen"));
    EXPECT_TRUE(isAnimationTrigger("VisibleChange"));
    EXPECT_FALSE(isAnimationTrigger("WindowOpened"));
    EXPECT_TRUE(holdsFolded(animationTweens(), "Cubic"));
    EXPECT_TRUE(isItemLayout("FocusedLayout"));
    EXPECT_EQ(kindName(ValueKind::TimeMs), "time-ms");
}

}  // namespace
