// The document record: templates and examples, file name, file times and
// the modified flag.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "docTestSupport.h"

namespace {

double real(Layer* layer, const char* key) { return Layer_findParam(layer, key)->value.real; }

TEST_F(DocTest, TemplatesAndExamplesGiveTheirDevices)
{
    ASSERT_NE(Document_create(nullptr, TemplateTable, 2), nullptr);
    Device* d = device();
    ASSERT_EQ(d->layerCount, 3);
    const int types[3] = {DOPANT_DONOR, DOPANT_INTRINSIC, DOPANT_ACCEPTOR};
    const double thickness[3] = {0.2, 1.0, 0.2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::string(d->layers[i]->name), "Layer" + std::to_string(i + 1));
        EXPECT_EQ(Layer_getDopantType(d->layers[i]), types[i]);
        EXPECT_DOUBLE_EQ(real(d->layers[i], "Thickness"), thickness[i]);
        EXPECT_STREQ(Layer_findParam(d->layers[i], "Material")->value.text, "Si");
    }
    EXPECT_EQ(d->numeric->records[3]->value.integer, 150);
    EXPECT_EQ(d->anode->schottky, 0);

    ASSERT_NE(Document_create(nullptr, TemplateTable, 3), nullptr);
    EXPECT_EQ(device()->anode->schottky, CONTACT_SCHOTTKY);
    EXPECT_DOUBLE_EQ(device()->anode->records[4]->value.real, 1.0);

    ASSERT_NE(Document_create(nullptr, ExampleTable, 3), nullptr);
    d = device();
    ASSERT_EQ(d->layerCount, 1);
    EXPECT_STREQ(Layer_findParam(d->layers[0], "Material")->value.text, "GaN");
    EXPECT_STREQ(d->voltage->records[0]->value.text, "None");
    EXPECT_STREQ(d->light->records[0]->value.text, "Sweep");
    EXPECT_DOUBLE_EQ(d->light->records[1]->value.real, 0.2);
    EXPECT_DOUBLE_EQ(d->light->records[3]->value.real, 0.4);
    EXPECT_DOUBLE_EQ(d->light->records[4]->value.real, 0.002);
    EXPECT_EQ(d->anode->schottky, CONTACT_SCHOTTKY);
    EXPECT_DOUBLE_EQ(d->anode->records[4]->value.real, 0.5);

    ASSERT_NE(Document_create(nullptr, TemplateTable, 7), nullptr);  // unknown: the PN template
    EXPECT_STREQ(device()->records[0]->value.text, "PN");
    EXPECT_EQ(device()->layerCount, 2);
}

TEST_F(DocTest, FileNameTimesAndModifiedFlag)
{
    EXPECT_EQ(Document_isChangedOnDisk(document()), 0);  // never saved
    Document_setFilename(document(), (folder.path() + "missing.kovra").c_str());
    EXPECT_STREQ(Document_getFilename(document()), "");

    const std::string path = folder.path() + "doc.kovra";
    ASSERT_EQ(Device_save(document(), path.c_str()), 1);
    ASSERT_EQ(Device_load(document(), path.c_str()), 1);
    EXPECT_STREQ(Document_getFilename(document()), path.c_str());
    EXPECT_EQ(Document_isChangedOnDisk(document()), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    {
        std::ofstream touch(path, std::ios::app);
        touch << "\n";
    }
    EXPECT_EQ(Document_isChangedOnDisk(document()), 1);

    Document_setModified(document(), 1);
    EXPECT_EQ(Document_isModified(document()), 1);
    EXPECT_EQ(Document_isModified(nullptr), 0);
    Document_free(document());
    EXPECT_EQ(recorder.document, nullptr);
}

}  // namespace
