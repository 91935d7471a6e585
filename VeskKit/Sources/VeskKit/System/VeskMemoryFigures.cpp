#include "VeskKit/System/VeskMemoryFigures.h"

#include "VeskKit/System/VeskSuiteJson.h"

void VeskMemoryFigures::writeFigures(VeskSuiteJson::Writer &out) const
{
    out.integer("physicalTotalBytes", physicalTotalBytes);
    out.integer("physicalUsedBytes", physicalUsedBytes);
    out.integer("compressedBytes", compressedBytes);
    out.integer("swapTotalBytes", swapTotalBytes);
    out.integer("swapUsedBytes", swapUsedBytes);
    out.integer("swapFileCount", swapFileCount);
    out.boolean("swapEncrypted", swapEncrypted);
    out.text("pressureLevel", pressureLevel);
    out.integer("activeDiskPoolCount", activeDiskPoolCount);
    out.integer("diskPoolVirtualBytes", diskPoolVirtualBytes);
    out.integer("diskPoolActualDiskBytes", diskPoolActualDiskBytes);
    out.texts("diskPoolNames", diskPoolNames);
    out.integer("mountedSparseDiskCount", mountedSparseDiskCount);
    out.integer("sparseDiskVirtualBytes", sparseDiskVirtualBytes);
    out.integer("sparseDiskActualBytes", sparseDiskActualBytes);
    out.texts("sparseDiskNames", sparseDiskNames);
    out.integer("mountedRAMDiskCount", mountedRAMDiskCount);
    out.integer("ramDiskTotalBytes", ramDiskTotalBytes);
    out.texts("ramDiskNames", ramDiskNames);
    out.integer("frozenAppCount", frozenAppCount);
    out.pids("frozenPIDs", frozenPIDs);
    out.integer("reclaimedFromFrozenBytes", reclaimedFromFrozenBytes);
}

void VeskMemoryFigures::readFigures(VeskSuiteJson::Reader &in)
{
    physicalTotalBytes = in.integer("physicalTotalBytes");
    physicalUsedBytes = in.integer("physicalUsedBytes");
    compressedBytes = in.integer("compressedBytes");
    swapTotalBytes = in.integer("swapTotalBytes");
    swapUsedBytes = in.integer("swapUsedBytes");
    swapFileCount = in.integer("swapFileCount");
    swapEncrypted = in.boolean("swapEncrypted");
    pressureLevel = in.text("pressureLevel");
    activeDiskPoolCount = in.integer("activeDiskPoolCount");
    diskPoolVirtualBytes = in.integer("diskPoolVirtualBytes");
    diskPoolActualDiskBytes = in.integer("diskPoolActualDiskBytes");
    diskPoolNames = in.texts("diskPoolNames");
    mountedSparseDiskCount = in.integer("mountedSparseDiskCount");
    sparseDiskVirtualBytes = in.integer("sparseDiskVirtualBytes");
    sparseDiskActualBytes = in.integer("sparseDiskActualBytes");
    sparseDiskNames = in.texts("sparseDiskNames");
    mountedRAMDiskCount = in.integer("mountedRAMDiskCount");
    ramDiskTotalBytes = in.integer("ramDiskTotalBytes");
    ramDiskNames = in.texts("ramDiskNames");
    frozenAppCount = in.integer("frozenAppCount");
    frozenPIDs = in.pids("frozenPIDs");
    reclaimedFromFrozenBytes = in.integer("reclaimedFromFrozenBytes");
}
