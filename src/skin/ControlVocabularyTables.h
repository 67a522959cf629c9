// The control vocabulary's constant tables, written at build time by
// scripts/gen_vocabulary.py from skin/vocabulary/control-vocabulary.json.
// Only ControlVocabulary.cpp reads them; everyone else asks skin::vocab.
#pragma once

#include "skin/ControlVocabulary.h"

namespace skin::vocab::tables {

extern const Items<Enumeration> enumerations;
extern const Items<Element> common;
extern const Items<Element> focusable;
extern const Items<ControlType> types;
extern const Items<RemovedType> removedTypes;
extern const Items<LegacyAlias> aliases;
extern const Items<Element> window;
extern const Items<Element> coordinates;
extern const Items<Element> contentItems;
extern const Items<Element> includeChildren;
extern const Items<Element> includesFileElements;
extern const Items<std::string_view> windowAttributes;
extern const Items<std::string_view> itemLayouts;
extern const Items<std::string_view> itemLayoutAttributes;
extern const Items<std::string_view> contentAttributes;
extern const Items<std::string_view> includeAttributes;
extern const Items<std::string_view> animationEffects;
extern const Items<std::string_view> animationTriggers;
extern const Items<std::string_view> animationAttributes;
extern const Items<std::string_view> effectAttributes;
extern const Items<std::string_view> animationTweens;
extern const Items<std::string_view> animationEasings;
extern const Items<std::string_view> textureAttributes;

}  // namespace skin::vocab::tables
