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

void LevelInfoOverlay::SetText(const String& text)
{
    String wrapped = Wrap(text, LINE_LENGTH);
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
