// The mesh-fields object on its own: every per-point array comes from the
// status channel's tracked allocators and goes back to it, and the readers
// of the set-up results stay inside what was allocated.
#include <gtest/gtest.h>

#include "ekMeshFields.h"
#include "nuSigma.h"

namespace {

TEST(MeshFields, ArraysComeFromTheChannelZeroFilledAndGoBackWhole)
{
    nuSigma sigma;
    const size_t before = sigma.allocatedBytes();
    ekMeshFields mesh;
    const int N = 137;
    ASSERT_TRUE(mesh.allocate(&sigma, N));
    EXPECT_EQ(mesh.getPointCount(), N);
    // The count the debug line reports is what the channel holds, and it
    // grows with the mesh: every array has one entry a point.
    EXPECT_EQ(sigma.allocatedBytes() - before, mesh.getArrayBytes());
    EXPECT_EQ(mesh.getArrayBytes() % N, 0u);
    EXPECT_GT(mesh.getArrayBytes() / N, 100 * sizeof(double));
    // First and last arrays of each block, zero at both ends of the mesh.
    for (int i : {0, N - 1}) {
        EXPECT_EQ(mesh.mat.pointKind[i], 0);
        EXPECT_EQ(mesh.mat.polPiezo[i], 0.0);
        EXPECT_EQ(mesh.trap[0].kind[i], 0);
        EXPECT_EQ(mesh.trap[ekMeshFields::TRAPS - 1].n1[i], 0.0);
        EXPECT_EQ(mesh.sol.z[i], 0.0);
        EXPECT_EQ(mesh.sol.Qspi[i], 0.0);
        EXPECT_EQ(mesh.pointLayer[i], 0);
    }

    mesh.release(&sigma);
    EXPECT_EQ(sigma.allocatedBytes(), before);
    EXPECT_EQ(mesh.mat.pointKind, nullptr);
    EXPECT_EQ(mesh.trap[ekMeshFields::TRAPS - 1].n1, nullptr);
    EXPECT_EQ(mesh.sol.Qspi, nullptr);
    EXPECT_EQ(mesh.pointLayer, nullptr);
    EXPECT_EQ(mesh.getPointCount(), 0);
    EXPECT_EQ(mesh.getArrayBytes(), 0u);
}

TEST(MeshFields, ReallocationDoesNotGrowTheChannelsHoldings)
{
    nuSigma sigma;
    ekMeshFields mesh;
    ASSERT_TRUE(mesh.allocate(&sigma, 50));
    const size_t held = sigma.allocatedBytes();
    mesh.release(&sigma);
    ASSERT_TRUE(mesh.allocate(&sigma, 50));
    EXPECT_EQ(sigma.allocatedBytes(), held);
    mesh.release(&sigma);
}

TEST(MeshFields, ReadersAnswerNothingOutsideWhatWasSetUp)
{
    nuSigma sigma;
    ekMeshFields mesh;
    // Before any set-up: no interface, no junction, no layer, no point.
    EXPECT_EQ(mesh.getInterfaceIndex(0), -1);
    EXPECT_EQ(mesh.getJunctionBound(0), 0.0);
    EXPECT_EQ(mesh.getPointLayer(0), -1);
    EXPECT_EQ(mesh.controlWidth(0), 0.0);

    const int N = 60;
    ASSERT_TRUE(mesh.allocate(&sigma, N));
    for (int i = 0; i < N; ++i) {
        mesh.sol.z[i] = 0.5 * i;
        mesh.pointLayer[i] = i < 20 ? 0 : 1;
    }
    mesh.interfaceIndex[0] = 20;
    mesh.interfaceCount = 1;
    mesh.layerVeq[1] = 3.0;
    EXPECT_EQ(mesh.getInterfaceIndex(0), 20);
    EXPECT_EQ(mesh.getInterfaceIndex(1), -1);
    EXPECT_EQ(mesh.getLayerVeq(1), 3.0);
    EXPECT_EQ(mesh.getLayerVeq(-1), 0.0);
    EXPECT_EQ(mesh.getLayerVeq(ekMeshFields::LAYERS_MAX), 0.0);
    EXPECT_EQ(mesh.getPointLayer(19), 0);
    EXPECT_EQ(mesh.getPointLayer(20), 1);
    EXPECT_EQ(mesh.getPointLayer(-1), -1);
    EXPECT_EQ(mesh.getPointLayer(N), -1);
    // Half a step at either end, a whole step inside, nothing past the end.
    EXPECT_DOUBLE_EQ(mesh.controlWidth(0), 0.25);
    EXPECT_DOUBLE_EQ(mesh.controlWidth(30), 0.5);
    EXPECT_DOUBLE_EQ(mesh.controlWidth(N - 1), 0.25);
    EXPECT_EQ(mesh.controlWidth(N), 0.0);
    mesh.release(&sigma);
}

}  // namespace
