#include "content/geometry/geometry_reader.h"
#include "content/geometry/geometry_writer.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using GeometryUpload = murmur::test::GlTest;

TEST_F(GeometryUpload, LoadGeometryUploadsTheVertexBytes) {
    Geometry g;
    SubMesh* s = g.addMesh(1, "m")->addSubMesh();
    ASSERT_TRUE(s->setVertices(2, {-1, 0, 5, 0, 0, 0, 0, 1, 3, 1, 5, 1, 0, 0, 0, 1, 0, 2, 5, 1, 1, 0, 0, 1}));
    const auto path = std::filesystem::temp_directory_path() / "murmur_upload_test.geo";
    ASSERT_TRUE(saveGeometry(g, path.string()));
    std::unique_ptr<Geometry> loaded(loadGeometry(path.string()));
    std::filesystem::remove(path);
    ASSERT_TRUE(loaded);
    const SubMesh& l = *loaded->allSubMeshes.at(0);
    ASSERT_NE(l.vertexBuffer, 0u);
    glBindBuffer(GL_ARRAY_BUFFER, l.vertexBuffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 96);
    std::vector<std::uint8_t> back(96);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 96, back.data());
    EXPECT_EQ(back, l.vertices);

    // The attribute pointers follow the format's layout.
    l.setAttributePointers();
    GLint stride = 0;
    void* offset = nullptr;
    glGetVertexAttribiv(3, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
    glGetVertexAttribPointerv(3, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
    EXPECT_EQ(stride, 32);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(offset), 20u);
    glGetVertexAttribPointerv(1, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(offset), 12u);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    GLuint name = l.vertexBuffer;
    glDeleteBuffers(1, &name);
}

}  // namespace
