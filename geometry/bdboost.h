#pragma once

// The toolkit's point and point list as Boost.Geometry types, and the polygon types the
// figure operations hand to the library. Include only from geometry sources: the library
// headers are heavy.

#include <QList>
#include <QPointF>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/register/point.hpp>
#include <boost/geometry/geometries/register/ring.hpp>

#include <vector>

BOOST_GEOMETRY_REGISTER_POINT_2D_GET_SET(QPointF, double, boost::geometry::cs::cartesian, x, y, setX, setY)
// A closed point list, with the library's default ring traits (clockwise, closed).
BOOST_GEOMETRY_REGISTER_RING(QList<QPointF>)

namespace bdGeometry {

// Anticlockwise, closed; rings in std::vector.
using Polygon = boost::geometry::model::polygon<QPointF, false, true>;
using MultiPolygon = boost::geometry::model::multi_polygon<Polygon>;
using Linestring = boost::geometry::model::linestring<QPointF>;

} // namespace bdGeometry
