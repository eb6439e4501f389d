// The page's script sees the program through these names.
#include <emscripten/bind.h>

#include "web/page.h"

EMSCRIPTEN_BINDINGS(zek_page) {
    using zek::Page;
    emscripten::class_<Page>("Page")
        .constructor<>()
        .class_function("designsJson", &Page::DesignsJson)
        .class_function("shapesJson", &Page::ShapesJson)
        .function("modelJson", &Page::ModelJson)
        .function("takeMessagesJson", &Page::TakeMessagesJson)
        .function("selectDesign", &Page::SelectDesign)
        .function("setBoxText", &Page::SetBoxText)
        .function("setLimitTicked", &Page::SetLimitTicked)
        .function("selectShape", &Page::SelectShape)
        .function("setCorrelationText", &Page::SetCorrelationText)
        .function("setTitle", &Page::SetTitle)
        .function("setSeedText", &Page::SetSeedText)
        .function("setMissingText", &Page::SetMissingText)
        .function("setExtremeText", &Page::SetExtremeText)
        .function("drawSeed", &Page::DrawSeed)
        .function("setCorrelationPreset", &Page::SetCorrelationPreset)
        .function("setCategoryPercentage", &Page::SetCategoryPercentage)
        .function("setCategoryN", &Page::SetCategoryN)
        .function("setCategoryColumnN", &Page::SetCategoryColumnN)
        .function("setCategoryRows", &Page::SetCategoryRows)
        .function("setPercentagesOf", &Page::SetPercentagesOf)
        .function("nameRowsJson", &Page::NameRowsJson)
        .function("applyNameRows", &Page::ApplyNameRows)
        .function("setReliability", &Page::SetReliability)
        .function("setBetaPair", &Page::SetBetaPair)
        .function("toggleOption", &Page::ToggleOption)
        .function("resetToStartup", &Page::ResetToStartup)
        .function("copyCellOneToAllCells", &Page::CopyCellOneToAllCells)
        .function("setScaleScore", &Page::SetScaleScore)
        .function("setCorrelationsFromAlpha", &Page::SetCorrelationsFromAlpha)
        .function("openParametersText", &Page::OpenParametersText)
        .function("generate", &Page::Generate)
        .function("generateClassSet", &Page::GenerateClassSet)
        .function("offeredClassSetSeed", &Page::OfferedClassSetSeed)
        .function("keyFigureNames", &Page::KeyFigureNames)
        .function("plotsJson", &Page::PlotsJson)
        .function("viewerText", &Page::ViewerText);
}
