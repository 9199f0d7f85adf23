#include "LevelInfoOverlay.h"
#include "Utf8Text.h"

#include <OgreOverlay.h>
#include <OgreOverlayElement.h>
#include <OgreOverlayManager.h>

#include <algorithm>

using namespace Ogre;

LevelInfoOverlay::LevelInfoOverlay()
{
    OverlayManager& overlays = OverlayManager::getSingleton();
    overlay = overlays.getByName("Tarnel/LevelInfo");
    if (overlay && overlays.hasOverlayElement("Tarnel/LevelInfoPanel") &&
        overlays.hasOverlayElement("Tarnel/LevelInfoText"))
    {
        panel = overlays.getOverlayElement("Tarnel/LevelInfoPanel");
        textArea = overlays.getOverlayElement("Tarnel/LevelInfoText");
    }
    else
    {
        overlay = nullptr;
    }
}

void LevelInfoOverlay::SetVisible(bool show)
{
    visible = show;
    if (!overlay)
        return;
    if (visible)
        overlay->show();
    else
        overlay->hide();
}

namespace
{
    // As the overlay scripts place them: the statistics at the left, the panel at the right.
    const Real MARGIN = 5, STATISTICS_RIGHT = 5 + 460, FULL_WIDTH = 470, MINIMUM_WIDTH = 280;
    const Real TEXT_INSET = 14, CHARACTER_WIDTH = (FULL_WIDTH - TEXT_INSET) / LevelInfoOverlay::LINE_LENGTH;
}

Real LevelInfoOverlay::PanelWidth(Real windowWidth, bool statisticsShown)
{
    if (!statisticsShown)
        return FULL_WIDTH;
    return std::max(MINIMUM_WIDTH, std::min(FULL_WIDTH, windowWidth - STATISTICS_RIGHT - 2 * MARGIN));
}

void LevelInfoOverlay::FitWindow(Real windowWidth, bool statisticsShown)
{
    const Real width = PanelWidth(windowWidth, statisticsShown);
    const size_t length = size_t((width - TEXT_INSET) / CHARACTER_WIDTH);
    if (!panel || length == lineLength)
        return;
    lineLength = length;
    panel->setLeft(-(width + MARGIN));
    panel->setWidth(width);
    textArea->setWidth(width - TEXT_INSET);
    shown.clear(); // broken again at the new width
    SetText(text);
}

void LevelInfoOverlay::SetText(const String& newText)
{
    text = newText;
    String wrapped = Wrap(text, lineLength);
    // A new caption rebuilds the text's geometry; most frames it is the same.
    if (!textArea || wrapped == shown)
        return;
    shown = wrapped;
    // Names in a legacy 8-bit encoding would make the overlay raise.
    textArea->setCaption(AsValidUtf8(shown));
    const Real lineHeight = 16;
    const size_t lines = size_t(std::count(shown.begin(), shown.end(), '\n')) + 1;
    panel->setHeight(12 + lineHeight * Real(lines));
    textArea->setHeight(lineHeight * Real(lines));
}

String LevelInfoOverlay::Wrap(const String& text, size_t length)
{
    String wrapped;
    size_t lineStart = 0;
    while (lineStart <= text.size())
    {
        size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
        String line = text.substr(lineStart, lineEnd - lineStart);
        while (line.size() > length)
        {
            size_t cut = line.rfind(' ', length);
            if (cut == String::npos || cut == 0)
                cut = length;
            wrapped += line.substr(0, cut) + "\n";
            line = line.substr(line[cut] == ' ' ? cut + 1 : cut);
        }
        wrapped += line;
        if (lineEnd < text.size())
            wrapped += "\n";
        lineStart = lineEnd + 1;
    }
    return wrapped;
}
