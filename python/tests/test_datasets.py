"""Soundings as CF profile datasets (xarray) and netCDF files, read back."""
import math

import pytest

import vivezeru5

xarray = pytest.importorskip("xarray", reason="python3-xarray is not installed")
pytest.importorskip("netCDF4", reason="python3-netcdf4 is not installed")


@pytest.fixture
def written(examples, tmp_path):
    """sounding_type5.txt written as netCDF and opened again."""
    path = tmp_path / "sounding.nc"
    vivezeru5.read(examples / "sounding_type5.txt").to_netcdf(path)
    with xarray.open_dataset(path) as dataset:
        dataset.load()
    return dataset


def test_global_attributes_and_dimensions(written):
    assert (written.attrs["Conventions"], written.attrs["featureType"]) == ("CF-1.8", "profile")
    assert dict(written.sizes) == {"profile": 3, "obs": 15 + 7 + 6}
    assert written["profile"].attrs["cf_role"] == "profile_id"
    assert written["row_size"].values.tolist() == [15, 7, 6]
    assert written["row_size"].attrs["sample_dimension"] == "obs"
    assert written["row_size"].attrs["long_name"]


@pytest.mark.parametrize(
    "name, standard_name, units",
    [
        ("lon", "longitude", "degrees_east"),
        ("lat", "latitude", "degrees_north"),
        ("pressure_hpa", "air_pressure", "hPa"),
        ("height_dam", "geopotential_height", "dam"),
        ("temperature_c", "air_temperature", "degC"),
        ("dewpoint_c", "dew_point_temperature", "degC"),
        ("wind_direction_deg", "wind_from_direction", "degree"),
        ("wind_speed_ms", "wind_speed", "m s-1"),
    ],
)
def test_variables_have_cf_names_and_units(written, name, standard_name, units):
    assert (written[name].attrs["standard_name"], written[name].attrs["units"]) == (standard_name, units)


@pytest.mark.parametrize("name, units", [("cape_jkg", "J kg-1"), ("k_index_c", "degC"), ("sweat_index", "1")])
def test_derived_values_have_units(written, name, units):
    assert written[name].dims == ("profile",) and written[name].attrs["units"] == units


def test_values_read_back(written):
    assert "decametres" in written["height_dam"].attrs["long_name"]
    assert written["station_id"].values.tolist() == [10001, 10002, 10003]
    assert written["sounding"].values.tolist() == [0, 1, 2]
    assert str(written["time"].values[0]) == "2026-12-08T12:00:00.000000000"
    assert (float(written["lon"][0]), float(written["lat"][0])) == (pytest.approx(116.3), pytest.approx(39.9))
    # station 10002, level 4: the fifth level after the first station's 15
    level = [float(written[name][15 + 4]) for name in vivezeru5.LEVEL_COLUMNS]
    assert level == [500, 560, -32, -42, 290, 25]
    assert written["k_index_c"].values.tolist()[:2] == [36, -8]
    assert written["cin_jkg_flag"].values.tolist() == ["", "no_lfc", "no_lfc"]


def test_missing_values_are_fill_values(write_file, tmp_path):
    path = tmp_path / "gaps.nc"
    text = "diamond 5 gaps\n26 4 2 0 1\n1 118.8 32.0 9 12\n1012 4 18 14 150 4\n925 78 14 -9999 -9999 20\n"
    vivezeru5.read(write_file(text), format="type5").to_netcdf(path)
    with xarray.open_dataset(path) as dataset:
        assert dataset["dewpoint_c"].encoding["_FillValue"] == -9999
        assert [math.isnan(v) for v in dataset["dewpoint_c"].values] == [False, True]
        assert dataset["wind_direction_deg"].values.tolist()[0] == 150
    with xarray.open_dataset(path, mask_and_scale=False) as raw:
        assert raw["dewpoint_c"].values.tolist() == [14, -9999]


def test_characteristic_level_files_have_no_time(examples):
    dataset = vivezeru5.read(examples / "sounding_rozedu.txt").to_xarray()
    assert "time" not in dataset.variables
    assert math.isnan(dataset["elevation"].values[0])  # the format carries none
    assert dataset["row_size"].values.tolist() == [9, 8]


def test_many_files_in_one_dataset(examples):
    archive = vivezeru5.read_many([examples / "sounding_type5.txt", examples / "sounding_rozedu.txt"])
    dataset = archive.to_xarray()
    assert dataset["profile"].values.tolist() == [0, 1, 2, 3, 4]
    assert dataset["sounding"].values.tolist() == [0, 1, 2, 0, 1]
    assert int(dataset["row_size"].sum()) == dataset.sizes["obs"] == 15 + 7 + 6 + 9 + 8
