#pragma once
// Repeated sides and angles of the observation lists merged into one observation with the mean.
#include "core/model/Interaction.h"
#include "core/model/LogBuffer.h"
#include "core/model/NetworkModel.h"
#include "core/io/Readers.h"

namespace qef {

// Sides with the same two ends (either way round) become the first of them with the mean length
// (to the millimetre); angles at one station between the same two points (either way round, the
// reverse reading counting as 360 - value) become the first with the mean value. Each repeat is
// logged; one message tells the user when there were any.
void FindDuplicateObservations(Observations& obs, const PointNameTable& names, LogBuffer& log,
                               Interaction& ui);

}  // namespace qef
