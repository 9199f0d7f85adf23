#ifndef TARNEL_TESTS_XML_H
#define TARNEL_TESTS_XML_H

#include <OgreException.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>

/// The root element of a document parsed from text; the test fails on a parse error.
class XmlElement
{
public:
    explicit XmlElement(const std::string& text);
    operator const TiXmlElement*() const { return document.RootElement(); }

private:
    TiXmlDocument document;
};

/** Whether the call raises the engine exception of that kind (which this engine
    derives from the error code) with exactly this description, source function
    and source file. */
::testing::AssertionResult RaisesEngineError(const std::function<void()>& call, const std::type_info& kind,
                                             const std::string& description, const std::string& source,
                                             const std::string& file);

#define EXPECT_ENGINE_ERROR(statement, Kind, description, source, file) \
    EXPECT_TRUE(RaisesEngineError([&]() { statement; }, typeid(Ogre::Kind), description, source, file))
#define EXPECT_UTILITIES_ERROR(statement, Kind, description, source) \
    EXPECT_ENGINE_ERROR(statement, Kind, description, source, "Tarnel/TarnelUtilities")
#define EXPECT_SCENE_ERROR(statement, Kind, description, source) \
    EXPECT_ENGINE_ERROR(statement, Kind, description, source, "Tarnel/TarnelScene")

#endif
