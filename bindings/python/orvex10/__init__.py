"""Windows PE resources through the Orvex10 automation objects.

Objects are created by ProgID (``orvex10.Dispatch``) and their members called by name;
``orvex10.scan`` gives the records of ``orvex scan`` and ``orvex10.dask.scan`` the same
records as a Dask bag (imported when first used).
"""
import importlib

from orvex10._native import *  # noqa: F401,F403 (the automation host)
from orvex10._native import __doc__ as _native_doc  # noqa: F401
from orvex10._scan import scan  # noqa: F401


def __getattr__(name):
    # orvex10.dask imports Dask, which a script that does not scale out should not pay for.
    if name == "dask":
        return importlib.import_module("orvex10.dask")
    raise AttributeError("module 'orvex10' has no attribute " + repr(name))
