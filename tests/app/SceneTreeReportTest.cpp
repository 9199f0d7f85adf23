#include "SceneTreeReport.h"
#include "support/Engine.h"

#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgrePCZSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace Ogre;

namespace
{
    std::string ReadAll(const char* path)
    {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
}

class SceneTreeReport : public EngineTest
{
};

TEST_F(SceneTreeReport, ObjectsBeforeChildrenFourSpacesALevel)
{
    SceneNode* hub = sceneManager->getRootSceneNode()->createChildSceneNode("Hub");
    hub->attachObject(sceneManager->createLight("First"));
    hub->attachObject(sceneManager->createEntity("Second", "TwoPart.mesh"));
    hub->attachObject(sceneManager->createLight(""));
    hub->createChildSceneNode("Left")->createChildSceneNode("Deep");
    hub->createChildSceneNode("Right")->attachObject(sceneManager->createLight("Lamp"));

    ASSERT_TRUE(WriteSceneTreeReport("report-test.txt", sceneManager->getRootSceneNode()));
    EXPECT_EQ("Ogre/SceneRoot\n"
              "    Hub\n"
              "    -  \"First\"\n"
              "    -  \"Second\"\n"
              "    -  \"\"\n"
              "        Left\n"
              "            Deep\n"
              "        Right\n"
              "        -  \"Lamp\"\n",
              ReadAll("report-test.txt"));
    std::remove("report-test.txt");
}

TEST_F(SceneTreeReport, AnUnwritableFileIsAWarningNotAFailure)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteSceneTreeReport("no-such-directory/scenetree.txt", sceneManager->getRootSceneNode()));
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos,
              warning.find("Warning: the scene-tree report \"no-such-directory/scenetree.txt\" could not be written: "
                           "No such file or directory"))
        << warning;
}
