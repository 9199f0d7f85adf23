#ifndef TARNEL_APP_LEVEL_INFO_OVERLAY_H
#define TARNEL_APP_LEVEL_INFO_OVERLAY_H

#include <OgrePrerequisites.h>

namespace Ogre
{
    class Overlay;
    class OverlayElement;
}

/** The viewer's own panel beside the statistics, from the overlay script
    "Tarnel/LevelInfo": lines of text in a panel that grows with them. Without
    the script in the media it does nothing. Hidden at start. */
class LevelInfoOverlay
{
public:
    /// Lines longer than this many characters are broken at spaces.
    static const size_t LINE_LENGTH = 60;

    LevelInfoOverlay();

    void SetVisible(bool visible);
    bool IsVisible() const { return visible; }
    /// Shows the text (lines separated by "\n"), broken to the panel's width.
    void SetText(const Ogre::String& text);

    /// The text broken at spaces into lines of at most `length` characters; longer words are cut.
    static Ogre::String Wrap(const Ogre::String& text, size_t length);

private:
    bool visible = false;
    Ogre::String shown;
    Ogre::Overlay* overlay = nullptr;
    Ogre::OverlayElement* panel = nullptr;
    Ogre::OverlayElement* textArea = nullptr;
};

#endif
