#ifndef TARNEL_RENDER_WINDOW_ITERATOR_H
#define TARNEL_RENDER_WINDOW_ITERATOR_H

#include <OgrePrerequisites.h>

namespace Tarnel
{
    /** A sequence of render windows, walked as:
        if (Start()) do { use GetCurrent(); } while (MoveNext()); */
    class TarnelRenderWindowIterator
    {
    public:
        virtual ~TarnelRenderWindowIterator() = default;
        /// True when there is a first window.
        virtual bool Start() = 0;
        virtual Ogre::RenderWindow* GetCurrent() = 0;
        /// False at the end.
        virtual bool MoveNext() = 0;
    };

    /// A sequence of exactly one window, or of none when the window is null.
    class TarnelOneRenderWindow : public TarnelRenderWindowIterator
    {
    public:
        explicit TarnelOneRenderWindow(Ogre::RenderWindow* window) : window(window) {}

        bool Start() override
        {
            hasCurrent = window != nullptr;
            return hasCurrent;
        }

        Ogre::RenderWindow* GetCurrent() override
        {
            Ogre::RenderWindow* current = hasCurrent ? window : nullptr;
            hasCurrent = false;
            return current;
        }

        bool MoveNext() override
        {
            hasCurrent = false;
            return false;
        }

    private:
        Ogre::RenderWindow* window;
        bool hasCurrent = false;
    };
}

#endif
