#ifndef TARNEL_MEDIA_H
#define TARNEL_MEDIA_H

#include <OgreResourceGroupManager.h>
#include <OgreScriptCompiler.h>

#include <memory>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace Tarnel
{
    class StandInImages;

    /** How the loader treats the media that levels bring with them.

        Scripts in a location added to a group that is already initialised are
        parsed by ParseLocationScripts, since the engine initialises a group once.

        While an instance lives it is the engine's script compiler listener and
        resource loading listener, so that a fault in exported media costs only
        the faulty item: a material, GPU program or particle template defined a
        second time is logged and its first definition stays; a texture that cannot
        be found is logged once, naming the materials that use it, and drawn blank,
        as is one that no codec reads or whose bytes are corrupt (StandInImages);
        a program whose source cannot be found is logged once and does not compile,
        so its materials fall back to their next supported technique; a material
        none of whose techniques this engine can run is drawn without its programs
        (Programless), as soon as its scripts are read. A missing mesh still fails.
        Create one once the engine's root exists and before groups are initialised;
        the program, its tests and its tools share this one set of rules. */
    class TarnelMedia : public Ogre::ScriptCompilerListener,
                        public Ogre::ResourceLoadingListener,
                        public Ogre::ResourceGroupListener
    {
    public:
        TarnelMedia();
        ~TarnelMedia() override;

        /// Registered locations: the engine's archive and whether its subfolders count.
        typedef std::vector<std::pair<Ogre::Archive*, bool>> Locations;

        /** Parses the scripts of registered locations into their group, in the
            engine's order: script loaders by loading order, each loader's
            patterns in its own order (programs before materials), and for each
            pattern the locations in turn. */
        static void ParseScripts(const Locations& locations, const Ogre::String& group);

        /** Whether the group has the location already, however its path was written, or
            a folder above it that is searched with its subfolders. */
        static bool IsRegistered(const Ogre::String& location, const Ogre::String& group);

        /// The material layers, with the frame, that show the texture of that name; of one group's materials when given.
        static std::vector<std::pair<Ogre::TextureUnitState*, unsigned int>> LayersShowing(
            const Ogre::String& textureName, const Ogre::String& group = Ogre::String());

        bool handleEvent(Ogre::ScriptCompiler* compiler, Ogre::ScriptCompilerEvent* event, void* result) override;
        /// Logged as the engine logs it; a program no script declares marks the material that calls it.
        void handleError(Ogre::ScriptCompiler* compiler, Ogre::uint32 code, const Ogre::String& file, int line,
                         const Ogre::String& message) override;
        Ogre::DataStreamPtr resourceLoading(const Ogre::String& name, const Ogre::String& group,
                                            Ogre::Resource* resource) override;
        /// An image the engine's codecs cannot read is replaced by a blank one (StandInImages).
        void resourceStreamOpened(const Ogre::String& name, const Ogre::String& group, Ogre::Resource* resource,
                                  Ogre::DataStreamPtr& stream) override;

        /// The rules in force: the engine's script compiler listener, when it is one.
        static TarnelMedia* Instance();

        /** The particle templates that scripts of another group replaced since the last call
            (templates have one name space: a level reloaded into a group of its own brings its
            own) are put back, after the reload that brought the new ones failed and its group
            is gone (`keep`), or forgotten, once the reload is whole. */
        void KeepReplacedTemplates(bool keep);

        /** While one lives, the scripts read are a level's own (its folder and its resource
            locations): a material they define replaces one of that name that the group got
            from elsewhere before (a game's media, another level's folder among them), with a
            warning, so that a level is drawn and checked with its own. A level that defines a
            material twice still keeps its first. Scripts read again (a level folder inside
            the game's media folder) replace without a warning: the first may be their own. */
        class LevelOwnScripts
        {
        public:
            explicit LevelOwnScripts(bool readBefore);
            ~LevelOwnScripts();
            LevelOwnScripts(const LevelOwnScripts&) = delete;
            LevelOwnScripts& operator=(const LevelOwnScripts&) = delete;
        };

        /// Whether a level's own scripts defined a material of that name (LevelOwnScripts).
        bool IsLevelMaterial(const Ogre::String& name) const;

        /// Calls ScriptsRead for the engine's own reading of a group's scripts.
        void resourceGroupScriptingEnded(const Ogre::String& group) override;
        void resourceGroupScriptingStarted(const Ogre::String& group, size_t scriptCount) override;
        /** A font definition file that defines a font the group has already is skipped with an
            error line: the engine would end the whole group's reading on it. */
        void scriptParseStarted(const Ogre::String& script, bool& skip) override;

    private:
        /** Once scripts are read: second definitions of programs leave the manager, and the
            materials read give a technique without programs where they need one. */
        void ScriptsRead();
        /// Second definitions of GPU programs and particle templates are read into objects of a name nothing uses.
        bool KeepFirstProgram(Ogre::CreateGpuProgramScriptCompilerEvent* create, void* result);
        bool KeepFirstParticleTemplate(Ogre::CreateParticleSystemScriptCompilerEvent* create, void* result);
        /// A source that does not compile, for a program whose source was never shipped; logged once.
        Ogre::DataStreamPtr UnshippedProgramSource(const Ogre::String& name, const Ogre::GpuProgram* program);

        /// Second definitions are read into these, which no one can find, and dropped with this object.
        std::vector<Ogre::MaterialPtr> discardedMaterials;
        std::vector<Ogre::GpuProgramPtr> discardedPrograms;
        unsigned discardedTemplates = 0;
        std::vector<std::pair<Ogre::String, Ogre::ParticleSystem*>> replacedTemplates; ///< owned, by name
        std::set<Ogre::String> missingTextures, missingProgramSources;
        std::unique_ptr<StandInImages> images;
        /// The group whose scripts the engine reads now.
        Ogre::String scriptingGroup;
        /// Whether the scripts read now are a level's own (LevelOwnScripts).
        bool levelOwn = false;
        bool levelReadBefore = false; ///< read again: a replacement is not worth a warning
        /// The materials a level's own scripts defined, by name and group.
        std::set<std::pair<Ogre::String, Ogre::String>> levelMaterials;
        /// Materials the scripts defined, by name and group, not yet looked at by ScriptsRead.
        std::vector<std::pair<Ogre::String, Ogre::String>> newMaterials;
        /// The material the compiler reads now, by name and group, and its file.
        std::pair<Ogre::String, Ogre::String> compilingMaterial;
        Ogre::String compilingFile;
        /// Of the materials read, those that call programs no script declares: the programs' names.
        std::map<std::pair<Ogre::String, Ogre::String>, std::vector<Ogre::String>> undeclaredPrograms;
    };
}

#endif
