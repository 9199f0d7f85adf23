#ifndef TARNEL_TESTS_ENGINE_H
#define TARNEL_TESTS_ENGINE_H

#include <OgreLogManager.h>
#include <OgrePCZSceneManager.h>
#include <gtest/gtest.h>

#include <algorithm>

/** The real engine, shared by every test of one test program: a Root with the
    tests' own plugins.cfg, the OpenGL render system, a small window on the X
    display the test command started, and the resource group "Tests" holding the
    test media, the generated test meshes and the data files. Started on first
    use, shut down when the program ends. */
namespace TestEngine
{
    Ogre::Root& Root();
    Ogre::RenderWindow* Window();
    /// A new portal-connected-zone scene manager; the previous one is destroyed.
    Ogre::PCZSceneManager* NewSceneManager();
    std::string GeneratedMediaDir();
    const char* const RESOURCE_GROUP = "Tests";
}

/// A test that works on a fresh zone scene manager.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override { sceneManager = TestEngine::NewSceneManager(); }

    Ogre::PCZSceneManager* sceneManager = nullptr;
};

/// Collects what the engine's log is told while it lives.
struct LogRecorder : Ogre::LogListener
{
    LogRecorder() { Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this); }
    ~LogRecorder() override { Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(this); }
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        messages.push_back(message);
    }
    /// How many messages contain the text.
    long Count(const Ogre::String& part) const
    {
        return std::count_if(messages.begin(), messages.end(),
                             [&](const Ogre::String& message) { return message.find(part) != Ogre::String::npos; });
    }
    std::vector<Ogre::String> messages;
};

/// Rotations within a tenth of a degree, positions within 1e-4.
inline ::testing::AssertionResult SameRotation(const Ogre::Quaternion& expected, const Ogre::Quaternion& actual)
{
    if (expected.equals(actual, Ogre::Degree(0.1f)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

inline ::testing::AssertionResult Near(const Ogre::Vector3& expected, const Ogre::Vector3& actual)
{
    if (expected.positionEquals(actual, 1e-4f))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

#endif
