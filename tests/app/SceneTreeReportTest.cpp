#include "SceneTreeReport.h"
#include "support/Engine.h"

#include <OgreEntity.h>
#include <OgreLight.h>

#include <fstream>
#include <sstream>

using namespace Ogre;

using SceneTreeReport = EngineTest;

TEST_F(SceneTreeReport, ObjectsBeforeChildrenFourSpacesALevel)
{
    SceneNode* hub = sceneManager->getRootSceneNode()->createChildSceneNode("Hub");
    hub->attachObject(sceneManager->createLight("First"));
    hub->attachObject(sceneManager->createEntity("Second", "TwoPart.mesh"));
    hub->attachObject(sceneManager->createLight(""));
    hub->createChildSceneNode("Left")->createChildSceneNode("Deep");
    hub->createChildSceneNode("Right")->attachObject(sceneManager->createLight("Lamp"));
    ASSERT_TRUE(WriteSceneTreeReport("report-test.txt", sceneManager->getRootSceneNode()));
    std::stringstream report;
    report << std::ifstream("report-test.txt").rdbuf();
    std::remove("report-test.txt");
    EXPECT_EQ("Ogre/SceneRoot\n"
              "    Hub\n"
              "    -  \"First\"\n"
              "    -  \"Second\"\n"
              "    -  \"\"\n"
              "        Left\n"
              "            Deep\n"
              "        Right\n"
              "        -  \"Lamp\"\n",
              report.str());
}

TEST_F(SceneTreeReport, AnUnwritableFileIsAWarningNotAFailure)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteSceneTreeReport("no-such-directory/scenetree.txt", sceneManager->getRootSceneNode()));
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, warning.find("Warning: the scene-tree report \"no-such-directory/scenetree.txt\" "
                                              "could not be written: No such file or directory"))
        << warning;
}
