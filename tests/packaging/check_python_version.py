"""Fails unless the Python package's version is the project's, both as its
build backend writes it into the wheel's metadata and as the package says it
(vivezeru5.__version__).

    check_python_version.py PYTHON_DIR PROJECT_VERSION
"""
import sys
from pathlib import Path

python_dir, project_version = Path(sys.argv[1]), sys.argv[2]
sys.path[:0] = [str(python_dir / "build_backend"), str(python_dir)]
import vivezeru5  # noqa: E402
import vivezeru5_build  # noqa: E402

found = {
    "the wheel's metadata": vivezeru5_build._metadata_fields()["version"],
    "vivezeru5.__version__": vivezeru5.__version__,
}
wrong = [f"{where} says {version}" for where, version in found.items() if version != project_version]
if wrong:
    sys.exit(f"the project's version is {project_version}, but " + "; ".join(wrong))
print(f"the Python package's version is the project's, {project_version}")
