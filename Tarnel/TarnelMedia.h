#ifndef TARNEL_MEDIA_H
#define TARNEL_MEDIA_H

#include <OgreResourceGroupManager.h>
#include <OgreScriptCompiler.h>

#include <set>
#include <vector>

namespace Tarnel
{
    /** How the loader treats the media that levels bring with them.

        Scripts in a location added to a group that is already initialised are
        parsed by ParseLocationScripts, since the engine initialises a group once.

        While an instance lives it is the engine's script compiler listener and
        resource loading listener, so that a fault in exported media costs only
        the faulty item: a material defined a second time is logged and its first
        definition stays; a texture that cannot be found is logged once, naming
        the materials that use it, and drawn blank. A missing mesh still fails.
        Create one once the engine's root exists and before groups are initialised;
        the program, its tests and its tools share this one set of rules. */
    class TarnelMedia : public Ogre::ScriptCompilerListener, public Ogre::ResourceLoadingListener
    {
    public:
        TarnelMedia();
        ~TarnelMedia() override;

        /** Parses the scripts of one registered location into its group, in the
            engine's order: script loaders by loading order, each loader's
            patterns in its own order (programs before materials). */
        static void ParseLocationScripts(const Ogre::String& location, const Ogre::String& type, bool recursive,
                                         const Ogre::String& group);

        bool handleEvent(Ogre::ScriptCompiler* compiler, Ogre::ScriptCompilerEvent* event, void* result) override;
        Ogre::DataStreamPtr resourceLoading(const Ogre::String& name, const Ogre::String& group,
                                            Ogre::Resource* resource) override;

    private:
        /// Second definitions are read into these, which no one can find, and dropped with this object.
        std::vector<Ogre::MaterialPtr> discardedMaterials;
        std::set<Ogre::String> missingTextures;
    };
}

#endif
